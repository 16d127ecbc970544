#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

// What a file system has made durable, and what a power cut takes back. A source of changes
// (the engine's file layer in fault_vfs.cpp, or any other code that writes files) reports each
// change to the active PowerCut before making it on disk, and each sync; the model keeps no
// file open and reads a file from disk only the first time a change touches it.
//
// Durable: a file's content as of its last sync, and a folder's entries (files created, renamed
// and removed, folders made) as of its last sync. A file's changes are the inode's, whatever
// name it has by then: a source tells them by the handle fileAt or created gave. At the chosen
// sync point the power goes off before that sync takes effect; the source must then fail that
// sync and every later change, as a dead machine would. layDown then puts on disk what the next
// start finds: of the changes never synced, those the landing lets through.
namespace reliability {

enum class CutKind {
    Lost,       // no change since its file's or folder's last sync lands
    Torn,       // every unsynced write lands its first half only (the rest stays old, zeros past
                // the old end); unsynced truncations and folder changes land
    InOrder,    // the unsynced changes land whole up to a point (seeded), in the order made
    OutOfOrder, // each unsynced change lands whole or not at all (seeded), whatever the order
    AllButOne   // every unsynced change lands whole but the seed-th folder change
};

struct Landing {
    CutKind kind = CutKind::Lost;
    unsigned seed = 0; // mixed with the sync point cut at; AllButOne's is the folder change's index
};
const char *landingName(CutKind kind);

// What the harnesses try at every sync point: all lost, all torn, and subsets: four in order,
// four out of order, and each of the first three folder changes left out.
inline constexpr Landing kLandings[] = {
    {CutKind::Lost},          {CutKind::Torn},          {CutKind::InOrder, 1},    {CutKind::InOrder, 2},
    {CutKind::InOrder, 3},    {CutKind::InOrder, 4},    {CutKind::OutOfOrder, 1}, {CutKind::OutOfOrder, 2},
    {CutKind::OutOfOrder, 3}, {CutKind::OutOfOrder, 4}, {CutKind::AllButOne, 0},  {CutKind::AllButOne, 1},
    {CutKind::AllButOne, 2},
};

class PowerCut {
public:
    // The power goes off at the cutAt-th sync point (1-based); 0: it stays on.
    explicit PowerCut(int cutAt = 0);

    bool powered() const { return m_powered; }
    // Sync points met, the one the power went off at included.
    int syncPoints() const { return m_points; }
    // Changes never synced, when the power went off or the run ended.
    int pendingChanges() const { return int(m_writes.size() + m_entries.size()); }

    // The file at path, as a handle to report its changes by (read from disk at the first).
    int fileAt(const std::string &path);

    // Changes, each reported before it is made; ignored once the power is off.
    int created(const std::string &path); // a new, empty file where none was: its handle
    void wrote(int file, long long offset, const char *bytes, long long size);
    void truncated(int file, long long size);
    void removed(const std::string &path);
    void renamed(const std::string &from, const std::string &to);
    void madeFolder(const std::string &path);

    // Sync points: false when the power went off here (the sync did not take effect).
    bool synced(int file);
    bool folderSynced(const std::string &folder);

    // Writes, restores or removes on disk every file and folder the model has seen, as the cut
    // leaves it. Call once every handle of the source is closed.
    void layDown(Landing landing) const;

private:
    static constexpr int kGone = -1;   // an entry removed
    static constexpr int kFolder = -2; // an entry that is a folder made
    struct Write {
        long long seq;
        int file;
        long long offset;
        std::string bytes;
        long long truncateTo; // -1 for a write
        void applyTo(std::string &content, bool tear) const;
    };
    struct Entry {
        long long seq; // a rename's two entries share theirs: they land together
        std::string path;
        int file; // kGone, kFolder or the file
    };

    bool syncPoint();
    int inodeOf(const std::string &path);
    void enter(const std::string &path, int file, long long seq);

    int m_cutAt;
    int m_points = 0;
    bool m_powered = true;
    long long m_seq = 0;
    std::vector<std::string> m_durable; // each file's content as of its last sync
    std::vector<Write> m_writes;        // not yet synced, in the order made
    std::vector<Entry> m_entries;       // not yet synced, in the order made
    std::map<std::string, int> m_names;        // as the running program sees the folders
    std::map<std::string, int> m_durableNames; // as of each folder's last sync
    std::set<std::string> m_seen;
};

// The model the sources feed; null when no power cut is being simulated.
PowerCut *activePowerCut();
void setActivePowerCut(PowerCut *cut);

// The folder holding path, as folderSynced takes it.
std::string folderOf(const std::string &path);

} // namespace reliability
