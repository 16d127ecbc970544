#include "power_cut.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

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

void put(std::string &content, long long offset, const std::string &bytes, size_t count)
{
    const size_t at = size_t(offset);
    if (content.size() < at + bytes.size())
        content.resize(at + bytes.size(), '\0');
    content.replace(at, count, bytes, 0, count);
}

} // namespace

PowerCut::PowerCut(int cutAt)
    : m_cutAt(cutAt)
{
}

int PowerCut::inodeOf(const std::string &path)
{
    if (const auto known = m_names.find(path); known != m_names.end())
        return known->second;
    // The first change to a file that was there before: it stands on disk as it was last synced.
    m_inodes.push_back({});
    const int inode = int(m_inodes.size()) - 1;
    std::ifstream in(path, std::ios::binary);
    if (in && !m_durableNames.count(path)) {
        m_inodes.back().durable.assign(std::istreambuf_iterator<char>(in), {});
        m_durableNames[path] = inode;
    }
    m_names[path] = inode;
    return inode;
}

void PowerCut::created(const std::string &path)
{
    if (!m_powered)
        return;
    const std::string name = normal(path);
    inodeOf(name); // a file already there stays in the folder's durable entries
    m_inodes.push_back({});
    m_names[name] = int(m_inodes.size()) - 1;
}

void PowerCut::wrote(const std::string &path, long long offset, const char *bytes, long long size)
{
    if (m_powered)
        m_inodes[size_t(inodeOf(normal(path)))].pending.push_back({offset, std::string(bytes, size_t(size)), -1});
}

void PowerCut::truncated(const std::string &path, long long size)
{
    if (m_powered)
        m_inodes[size_t(inodeOf(normal(path)))].pending.push_back({0, {}, size});
}

void PowerCut::removed(const std::string &path)
{
    if (!m_powered)
        return;
    const std::string name = normal(path);
    inodeOf(name);
    m_names.erase(name);
}

void PowerCut::renamed(const std::string &from, const std::string &to)
{
    if (!m_powered)
        return;
    const std::string source = normal(from);
    const std::string target = normal(to);
    const int inode = inodeOf(source);
    inodeOf(target);
    m_names[target] = inode;
    m_names.erase(source);
}

bool PowerCut::syncPoint()
{
    if (!m_powered)
        return false;
    m_powered = ++m_points != m_cutAt;
    return m_powered;
}

bool PowerCut::synced(const std::string &path)
{
    if (!syncPoint())
        return false;
    if (const auto known = m_names.find(normal(path)); known != m_names.end()) {
        Inode &inode = m_inodes[size_t(known->second)];
        inode.durable = applied(inode, false);
        inode.pending.clear();
    }
    return true;
}

bool PowerCut::folderSynced(const std::string &folder)
{
    if (!syncPoint())
        return false;
    const std::string name = normal(folder);
    std::erase_if(m_durableNames, [&name](const auto &entry) { return folderOf(entry.first) == name; });
    for (const auto &[path, inode] : m_names) {
        if (folderOf(path) == name)
            m_durableNames[path] = inode;
    }
    return true;
}

std::string PowerCut::applied(const Inode &inode, bool tear) const
{
    std::string content = inode.durable;
    for (const Change &change : inode.pending) {
        if (change.truncateTo >= 0)
            content.resize(size_t(change.truncateTo));
        else
            put(content, change.offset, change.bytes, tear ? change.bytes.size() / 2 : change.bytes.size());
    }
    return content;
}

void PowerCut::layDown(CutKind kind) const
{
    const std::map<std::string, int> &names = kind == CutKind::Lost ? m_durableNames : m_names;
    std::set<std::string> seen;
    for (const auto &entry : m_names)
        seen.insert(entry.first);
    for (const auto &entry : m_durableNames)
        seen.insert(entry.first);
    for (const std::string &path : seen) {
        const auto found = names.find(path);
        if (found == names.end()) {
            std::filesystem::remove(path);
            continue;
        }
        const Inode &inode = m_inodes[size_t(found->second)];
        const std::string content = kind == CutKind::Lost ? inode.durable : applied(inode, true);
        std::ofstream(path, std::ios::binary | std::ios::trunc).write(content.data(), std::streamsize(content.size()));
    }
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
