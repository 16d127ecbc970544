#include "power_cut.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace reliability {
namespace {

PowerCut *&active()
{
    static PowerCut *cut = nullptr;
    return cut;
}

std::string normal(const std::string &path)
{
    return std::filesystem::path(path).lexically_normal().string();
}

// A well-mixed number from a seed: the same landing always lands the same changes.
uint64_t mixed(uint64_t x)
{
    x += 0x9e3779b97f4a7c15ULL;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
    return x ^ (x >> 31);
}

} // namespace

const char *landingName(CutKind kind)
{
    static const char *const names[] = {"lost", "torn", "landed in order up to a point", "landed out of order",
                                        "landed but one folder change"};
    return names[int(kind)];
}

PowerCut::PowerCut(int cutAt)
    : m_cutAt(cutAt)
{
}

int PowerCut::inodeOf(const std::string &path)
{
    m_seen.insert(path);
    if (const auto known = m_names.find(path); known != m_names.end() && known->second >= 0)
        return known->second;
    // The first change to a file that was there before: it stands on disk as it was last synced.
    m_durable.emplace_back();
    const int inode = int(m_durable.size()) - 1;
    std::ifstream in(path, std::ios::binary);
    if (in && !m_durableNames.count(path)) {
        m_durable.back().assign(std::istreambuf_iterator<char>(in), {});
        m_durableNames[path] = inode;
    }
    m_names[path] = inode;
    return inode;
}

int PowerCut::fileAt(const std::string &path)
{
    return inodeOf(normal(path));
}

void PowerCut::enter(const std::string &path, int file, long long seq)
{
    m_seen.insert(path);
    m_entries.push_back({seq, path, file});
    if (file == kGone)
        m_names.erase(path);
    else
        m_names[path] = file;
}

int PowerCut::created(const std::string &path)
{
    if (!m_powered)
        return -1;
    m_durable.emplace_back();
    const int inode = int(m_durable.size()) - 1;
    enter(normal(path), inode, ++m_seq);
    return inode;
}

void PowerCut::wrote(int file, long long offset, const char *bytes, long long size)
{
    if (m_powered && file >= 0)
        m_writes.push_back({++m_seq, file, offset, std::string(bytes, size_t(size)), -1});
}

void PowerCut::truncated(int file, long long size)
{
    if (m_powered && file >= 0)
        m_writes.push_back({++m_seq, file, 0, {}, size});
}

void PowerCut::removed(const std::string &path)
{
    if (!m_powered)
        return;
    const std::string name = normal(path);
    inodeOf(name); // a file that was there before is in its folder's durable entries
    enter(name, kGone, ++m_seq);
}

void PowerCut::renamed(const std::string &from, const std::string &to)
{
    if (!m_powered)
        return;
    const std::string source = normal(from);
    const std::string target = normal(to);
    const int inode = inodeOf(source);
    inodeOf(target);
    const long long seq = ++m_seq;
    enter(target, inode, seq);
    enter(source, kGone, seq);
}

void PowerCut::madeFolder(const std::string &path)
{
    if (m_powered)
        enter(normal(path), kFolder, ++m_seq);
}

bool PowerCut::syncPoint()
{
    if (!m_powered)
        return false;
    m_powered = ++m_points != m_cutAt;
    return m_powered;
}

void PowerCut::Write::applyTo(std::string &content, bool tear) const
{
    if (truncateTo >= 0) {
        content.resize(size_t(truncateTo));
        return;
    }
    const size_t at = size_t(offset);
    const size_t count = tear ? bytes.size() / 2 : bytes.size();
    if (content.size() < at + bytes.size())
        content.resize(at + bytes.size(), '\0');
    content.replace(at, count, bytes, 0, count);
}

bool PowerCut::synced(int file)
{
    if (!syncPoint())
        return false;
    for (const Write &write : m_writes) {
        if (write.file == file)
            write.applyTo(m_durable[size_t(file)], false);
    }
    std::erase_if(m_writes, [file](const Write &write) { return write.file == file; });
    return true;
}

bool PowerCut::folderSynced(const std::string &folder)
{
    if (!syncPoint())
        return false;
    const std::string name = normal(folder);
    for (const Entry &entry : m_entries) {
        if (folderOf(entry.path) != name)
            continue;
        if (entry.file == kGone)
            m_durableNames.erase(entry.path);
        else
            m_durableNames[entry.path] = entry.file;
    }
    std::erase_if(m_entries, [&name](const Entry &entry) { return folderOf(entry.path) == name; });
    return true;
}

void PowerCut::layDown(Landing landing) const
{
    // Which unsynced changes land, by their order numbers.
    std::vector<long long> order;
    std::vector<long long> folderChanges;
    for (const Write &write : m_writes)
        order.push_back(write.seq);
    for (const Entry &entry : m_entries) {
        order.push_back(entry.seq);
        folderChanges.push_back(entry.seq);
    }
    for (std::vector<long long> *seqs : {&order, &folderChanges}) {
        std::sort(seqs->begin(), seqs->end());
        seqs->erase(std::unique(seqs->begin(), seqs->end()), seqs->end());
    }
    const uint64_t seed = mixed(landing.seed ^ mixed(uint64_t(m_cutAt)));
    const size_t upTo = size_t(seed % (order.size() + 1));
    const auto lands = [&](long long seq) {
        switch (landing.kind) {
        case CutKind::Lost:
            return false;
        case CutKind::Torn:
            return true;
        case CutKind::InOrder:
            return upTo > 0 && seq <= order[upTo - 1];
        case CutKind::OutOfOrder:
            return (mixed(seed ^ mixed(uint64_t(seq))) & 1) != 0;
        case CutKind::AllButOne:
            return landing.seed >= folderChanges.size() || seq != folderChanges[landing.seed];
        }
        return false;
    };

    std::map<std::string, int> names = m_durableNames;
    for (const Entry &entry : m_entries) {
        if (!lands(entry.seq))
            continue;
        if (entry.file == kGone)
            names.erase(entry.path);
        else
            names[entry.path] = entry.file;
    }
    std::vector<std::string> contents = m_durable;
    for (const Write &write : m_writes) {
        if (lands(write.seq))
            write.applyTo(contents[size_t(write.file)], landing.kind == CutKind::Torn);
    }
    // The files first, then the folders made whose entries did not land, with all laid in them.
    std::vector<std::string> goneFolders;
    for (const std::string &path : m_seen) {
        const auto found = names.find(path);
        const auto now = m_names.find(path);
        if (found != names.end() && found->second == kFolder)
            continue;
        if (now != m_names.end() && now->second == kFolder)
            goneFolders.push_back(path);
        else if (found == names.end())
            std::filesystem::remove(path);
        else
            std::ofstream(path, std::ios::binary | std::ios::trunc)
                .write(contents[size_t(found->second)].data(), std::streamsize(contents[size_t(found->second)].size()));
    }
    for (const std::string &folder : goneFolders)
        std::filesystem::remove_all(folder);
}

PowerCut *activePowerCut()
{
    return active();
}

void setActivePowerCut(PowerCut *cut)
{
    active() = cut;
}

std::string folderOf(const std::string &path)
{
    return std::filesystem::path(normal(path)).parent_path().string();
}

} // namespace reliability
