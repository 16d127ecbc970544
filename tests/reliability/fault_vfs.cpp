#include "fault_vfs.h"

#include "power_cut.h"

#include <sqlcipher/sqlite3.h>

#include <csignal>
#include <cstring>
#include <utility>

namespace reliability {
namespace {

struct State {
    sqlite3_vfs *root = nullptr;
    FaultPlan plan;
    int count = 0;
    bool hit = false;
};

State &state()
{
    static State instance;
    return instance;
}

// The engine's own file follows this header in the same allocation.
struct ShimFile {
    sqlite3_file base;
    bool watched;
    const char *name; // the engine keeps it until the file is closed
    bool folderSyncDue;
    PowerCut *model; // the power cut whose handle of this file `file` is
    int file;
    sqlite3_file *real() { return reinterpret_cast<sqlite3_file *>(this + 1); }
};

sqlite3_file *realOf(sqlite3_file *file)
{
    return reinterpret_cast<ShimFile *>(file)->real();
}

// The power cut that a watched file's changes are reported to, if one is being simulated.
PowerCut *cutOf(sqlite3_file *file)
{
    const auto *shim = reinterpret_cast<ShimFile *>(file);
    return shim->watched && shim->name ? activePowerCut() : nullptr;
}

// The model's handle of the file, taken at its first change under that power cut.
int handleIn(PowerCut *cut, sqlite3_file *file)
{
    auto *shim = reinterpret_cast<ShimFile *>(file);
    if (shim->model != cut) {
        shim->model = cut;
        shim->file = cut->fileAt(shim->name);
    }
    return shim->file;
}

// One more point passed; the result code the point must give, or SQLITE_OK to let it run.
// A short write lands half of its bytes before it reports the full disk.
int passPoint(int ioerrKind, bool *shortWrite = nullptr)
{
    State &s = state();
    if (s.plan.at <= 0)
        return SQLITE_OK;
    const int point = ++s.count;
    const bool onward = s.plan.action != FaultAction::FailOnce && s.plan.action != FaultAction::Kill;
    if (point < s.plan.at || (point > s.plan.at && !onward))
        return SQLITE_OK;
    if (point == s.plan.at)
        s.hit = true;
    switch (s.plan.action) {
    case FaultAction::Kill:
        std::raise(SIGKILL);
        return SQLITE_OK;
    case FaultAction::FailOnce:
    case FaultAction::FailOnward:
        return ioerrKind;
    case FaultAction::ShortWrite:
        if (shortWrite && point == s.plan.at)
            *shortWrite = true;
        return SQLITE_FULL;
    case FaultAction::DiskFull:
        return SQLITE_FULL;
    }
    return SQLITE_OK;
}

int shimClose(sqlite3_file *file)
{
    sqlite3_file *real = realOf(file);
    return real->pMethods ? real->pMethods->xClose(real) : SQLITE_OK;
}

int shimRead(sqlite3_file *file, void *buffer, int amount, sqlite3_int64 offset)
{
    sqlite3_file *real = realOf(file);
    return real->pMethods->xRead(real, buffer, amount, offset);
}

int shimWrite(sqlite3_file *file, const void *buffer, int amount, sqlite3_int64 offset)
{
    sqlite3_file *real = realOf(file);
    if (PowerCut *cut = cutOf(file)) {
        if (!cut->powered())
            return SQLITE_IOERR_WRITE;
        cut->wrote(handleIn(cut, file), offset, static_cast<const char *>(buffer), amount);
    }
    if (reinterpret_cast<ShimFile *>(file)->watched) {
        bool shortWrite = false;
        const int rc = passPoint(SQLITE_IOERR_WRITE, &shortWrite);
        if (shortWrite)
            real->pMethods->xWrite(real, buffer, amount / 2, offset);
        if (rc != SQLITE_OK)
            return rc;
    }
    return real->pMethods->xWrite(real, buffer, amount, offset);
}

int shimTruncate(sqlite3_file *file, sqlite3_int64 size)
{
    sqlite3_file *real = realOf(file);
    if (PowerCut *cut = cutOf(file)) {
        if (!cut->powered())
            return SQLITE_IOERR_TRUNCATE;
        cut->truncated(handleIn(cut, file), size);
    }
    if (reinterpret_cast<ShimFile *>(file)->watched) {
        if (const int rc = passPoint(SQLITE_IOERR_TRUNCATE))
            return rc;
    }
    return real->pMethods->xTruncate(real, size);
}

int shimSync(sqlite3_file *file, int flags)
{
    sqlite3_file *real = realOf(file);
    if (PowerCut *cut = cutOf(file)) {
        // What is durable is the model's to say; leaving the real sync out keeps the runs fast.
        auto *shim = reinterpret_cast<ShimFile *>(file);
        if (!cut->synced(handleIn(cut, file)))
            return SQLITE_IOERR_FSYNC;
        // The engine's own layer syncs the folder once, after the first sync of a journal it
        // opened to create: only then is the journal's folder entry durable.
        if (std::exchange(shim->folderSyncDue, false) && !cut->folderSynced(folderOf(shim->name)))
            return SQLITE_IOERR_FSYNC;
        return SQLITE_OK;
    }
    if (reinterpret_cast<ShimFile *>(file)->watched) {
        if (const int rc = passPoint(SQLITE_IOERR_FSYNC))
            return rc;
    }
    return real->pMethods->xSync(real, flags);
}

int shimFileSize(sqlite3_file *file, sqlite3_int64 *size)
{
    sqlite3_file *real = realOf(file);
    return real->pMethods->xFileSize(real, size);
}

int shimLock(sqlite3_file *file, int level)
{
    sqlite3_file *real = realOf(file);
    return real->pMethods->xLock(real, level);
}

int shimUnlock(sqlite3_file *file, int level)
{
    sqlite3_file *real = realOf(file);
    return real->pMethods->xUnlock(real, level);
}

int shimCheckReservedLock(sqlite3_file *file, int *out)
{
    sqlite3_file *real = realOf(file);
    return real->pMethods->xCheckReservedLock(real, out);
}

int shimFileControl(sqlite3_file *file, int op, void *arg)
{
    sqlite3_file *real = realOf(file);
    return real->pMethods->xFileControl(real, op, arg);
}

int shimSectorSize(sqlite3_file *file)
{
    sqlite3_file *real = realOf(file);
    return real->pMethods->xSectorSize(real);
}

int shimDeviceCharacteristics(sqlite3_file *file)
{
    sqlite3_file *real = realOf(file);
    return real->pMethods->xDeviceCharacteristics(real);
}

int shimShmMap(sqlite3_file *file, int region, int size, int extend, void volatile **out)
{
    sqlite3_file *real = realOf(file);
    return real->pMethods->xShmMap(real, region, size, extend, out);
}

int shimShmLock(sqlite3_file *file, int offset, int n, int flags)
{
    sqlite3_file *real = realOf(file);
    return real->pMethods->xShmLock(real, offset, n, flags);
}

void shimShmBarrier(sqlite3_file *file)
{
    sqlite3_file *real = realOf(file);
    real->pMethods->xShmBarrier(real);
}

int shimShmUnmap(sqlite3_file *file, int deleteFlag)
{
    sqlite3_file *real = realOf(file);
    return real->pMethods->xShmUnmap(real, deleteFlag);
}

// Memory-mapped reads are left off (iVersion 2): every page goes through xRead.
const sqlite3_io_methods kShimMethods = {
    2,
    shimClose,
    shimRead,
    shimWrite,
    shimTruncate,
    shimSync,
    shimFileSize,
    shimLock,
    shimUnlock,
    shimCheckReservedLock,
    shimFileControl,
    shimSectorSize,
    shimDeviceCharacteristics,
    shimShmMap,
    shimShmLock,
    shimShmBarrier,
    shimShmUnmap,
    nullptr,
    nullptr,
};

int shimOpen(sqlite3_vfs *, const char *name, sqlite3_file *file, int flags, int *outFlags)
{
    auto *shim = reinterpret_cast<ShimFile *>(file);
    shim->base.pMethods = nullptr;
    shim->watched = (flags & (SQLITE_OPEN_MAIN_DB | SQLITE_OPEN_MAIN_JOURNAL)) != 0;
    shim->name = name;
    shim->folderSyncDue = (flags & SQLITE_OPEN_MAIN_JOURNAL) && (flags & SQLITE_OPEN_CREATE);
    shim->model = nullptr;
    shim->file = -1;
    sqlite3_vfs *root = state().root;
    if (PowerCut *cut = cutOf(file); cut && (flags & SQLITE_OPEN_CREATE)) {
        int exists = 0;
        root->xAccess(root, name, SQLITE_ACCESS_EXISTS, &exists);
        if (!exists && !cut->powered())
            return SQLITE_CANTOPEN;
        if (!exists) {
            shim->model = cut;
            shim->file = cut->created(name);
        }
    }
    const int rc = root->xOpen(root, name, shim->real(), flags, outFlags);
    if (shim->real()->pMethods)
        shim->base.pMethods = &kShimMethods;
    return rc;
}

// Deleting the journal is the commit point of a transaction: the last point of every write.
int shimDelete(sqlite3_vfs *, const char *name, int syncFolder)
{
    const std::size_t length = std::strlen(name);
    constexpr std::size_t kSuffix = sizeof("-journal") - 1;
    if (length > kSuffix && std::strcmp(name + length - kSuffix, "-journal") == 0) {
        if (const int rc = passPoint(SQLITE_IOERR_DELETE))
            return rc;
    }
    PowerCut *cut = activePowerCut();
    if (cut && !cut->powered())
        return SQLITE_IOERR_DELETE;
    if (cut)
        cut->removed(name);
    sqlite3_vfs *root = state().root;
    const int rc = root->xDelete(root, name, syncFolder);
    if (cut && rc == SQLITE_OK && syncFolder && !cut->folderSynced(folderOf(name)))
        return SQLITE_IOERR_DIR_FSYNC;
    return rc;
}

int countStatement(unsigned, void *, void *, void *)
{
    passPoint(SQLITE_OK);
    return 0;
}

int onConnectionOpened(sqlite3 *db, const char **, const sqlite3_api_routines *)
{
    sqlite3_trace_v2(db, SQLITE_TRACE_STMT, countStatement, nullptr);
    return SQLITE_OK;
}

} // namespace

void installFaultVfs()
{
    static sqlite3_vfs shim;
    State &s = state();
    if (s.root)
        return;
    s.root = sqlite3_vfs_find(nullptr);
    // The other methods of the default layer take no state from the layer object itself.
    shim = *s.root;
    shim.zName = "ccfault";
    shim.szOsFile = int(sizeof(ShimFile)) + s.root->szOsFile;
    shim.xOpen = shimOpen;
    shim.xDelete = shimDelete;
    shim.pNext = nullptr;
    sqlite3_vfs_register(&shim, 1);
}

void countStatements()
{
    // The engine calls each registered entry point for every connection it opens.
    sqlite3_auto_extension(reinterpret_cast<void (*)()>(onConnectionOpened));
}

void arm(const FaultPlan &plan)
{
    State &s = state();
    s.plan = plan;
    s.count = 0;
    s.hit = false;
}

void disarm()
{
    state().plan = FaultPlan{};
}

bool faultHit()
{
    return state().hit;
}

int pointsPassed()
{
    return state().count;
}

const char *actionName(FaultAction action)
{
    switch (action) {
    case FaultAction::FailOnce:
        return "I/O error once";
    case FaultAction::FailOnward:
        return "I/O error onward";
    case FaultAction::DiskFull:
        return "disk full";
    case FaultAction::ShortWrite:
        return "short write";
    case FaultAction::Kill:
        return "kill";
    }
    return "?";
}

} // namespace reliability
