#pragma once

#include <map>
#include <string>
#include <vector>

// What a file system has made durable, and what a power cut takes back. A source of changes
// (the engine's file layer in fault_vfs.cpp, or any other code that writes files) reports each
// change to the active PowerCut before making it on disk, and each sync; the model keeps no
// file open and reads a file from disk only the first time a change touches it.
//
// Durable: a file's content as of its last sync, and a folder's entries (creations, renames,
// removals) as of its last sync. At the chosen sync point the power goes off before that sync
// takes effect; the source must then fail that sync and every later change, as a dead machine
// would. layDown then puts on disk what the next start finds.
namespace reliability {

enum class CutKind {
    Lost, // every change since its file's or folder's last sync is lost
    Torn  // every unsynced write lands its first half only (the rest stays old, zeros past the
          // old end); unsynced truncations and folder changes land
};

class PowerCut {
public:
    // The power goes off at the cutAt-th sync point (1-based); 0: it stays on.
    explicit PowerCut(int cutAt = 0);

    bool powered() const { return m_powered; }
    // Sync points met, the one the power went off at included.
    int syncPoints() const { return m_points; }

    // Changes, each reported before it is made; ignored once the power is off.
    void created(const std::string &path); // a new, empty file where none was
    void wrote(const std::string &path, long long offset, const char *bytes, long long size);
    void truncated(const std::string &path, long long size);
    void removed(const std::string &path);
    void renamed(const std::string &from, const std::string &to);

    // Sync points: false when the power went off here (the sync did not take effect).
    bool synced(const std::string &path);
    bool folderSynced(const std::string &folder);

    // Writes, restores or removes on disk every file the model has seen, as the cut leaves it.
    // Call once every handle of the source is closed.
    void layDown(CutKind kind) const;

private:
    struct Change {
        long long offset;
        std::string bytes;
        long long truncateTo; // -1 for a write
    };
    struct Inode {
        std::string durable;
        std::vector<Change> pending;
    };

    bool syncPoint();
    int inodeOf(const std::string &path);
    // The durable content with the pending changes made, each write whole or its first half.
    std::string applied(const Inode &inode, bool tear) const;

    int m_cutAt;
    int m_points = 0;
    bool m_powered = true;
    std::vector<Inode> m_inodes;
    std::map<std::string, int> m_names;        // as the running program sees the folders
    std::map<std::string, int> m_durableNames; // as of each folder's last sync
};

// The model the sources feed; null when no power cut is being simulated.
PowerCut *activePowerCut();
void setActivePowerCut(PowerCut *cut);

// The folder holding path, as folderSynced takes it.
std::string folderOf(const std::string &path);

} // namespace reliability
