#include "failing_vfs.h"

#include <sqlcipher/sqlite3.h>

#include <atomic>

namespace {

sqlite3_vfs *g_real = nullptr;
sqlite3_vfs g_shim;
std::atomic<bool> g_armed{false};
std::atomic<int> g_failed{0};

// The shim's file: its own header, then the real layer's file right after it.
struct ShimFile {
    sqlite3_file base;
    bool mainDb;
    sqlite3_file *real() { return reinterpret_cast<sqlite3_file *>(this + 1); }
};

ShimFile *shim(sqlite3_file *file)
{
    return reinterpret_cast<ShimFile *>(file);
}

int shimClose(sqlite3_file *f)
{
    return shim(f)->real()->pMethods->xClose(shim(f)->real());
}
int shimRead(sqlite3_file *f, void *buffer, int amount, sqlite3_int64 offset)
{
    return shim(f)->real()->pMethods->xRead(shim(f)->real(), buffer, amount, offset);
}
int shimWrite(sqlite3_file *f, const void *buffer, int amount, sqlite3_int64 offset)
{
    if (shim(f)->mainDb && g_armed) {
        ++g_failed;
        return SQLITE_IOERR_WRITE;
    }
    return shim(f)->real()->pMethods->xWrite(shim(f)->real(), buffer, amount, offset);
}
int shimTruncate(sqlite3_file *f, sqlite3_int64 size)
{
    return shim(f)->real()->pMethods->xTruncate(shim(f)->real(), size);
}
int shimSync(sqlite3_file *f, int flags)
{
    return shim(f)->real()->pMethods->xSync(shim(f)->real(), flags);
}
int shimFileSize(sqlite3_file *f, sqlite3_int64 *size)
{
    return shim(f)->real()->pMethods->xFileSize(shim(f)->real(), size);
}
int shimLock(sqlite3_file *f, int lock)
{
    return shim(f)->real()->pMethods->xLock(shim(f)->real(), lock);
}
int shimUnlock(sqlite3_file *f, int lock)
{
    return shim(f)->real()->pMethods->xUnlock(shim(f)->real(), lock);
}
int shimCheckReservedLock(sqlite3_file *f, int *out)
{
    return shim(f)->real()->pMethods->xCheckReservedLock(shim(f)->real(), out);
}
int shimFileControl(sqlite3_file *f, int op, void *arg)
{
    return shim(f)->real()->pMethods->xFileControl(shim(f)->real(), op, arg);
}
int shimSectorSize(sqlite3_file *f)
{
    return shim(f)->real()->pMethods->xSectorSize(shim(f)->real());
}
int shimDeviceCharacteristics(sqlite3_file *f)
{
    return shim(f)->real()->pMethods->xDeviceCharacteristics(shim(f)->real());
}

// Version 1 methods only: without them the engine uses no shared memory or memory mapping,
// which a rollback-journal file does not need.
const sqlite3_io_methods kShimMethods = {
    1,         shimClose,     shimRead,        shimWrite,        shimTruncate,
    shimSync,  shimFileSize,  shimLock,        shimUnlock,       shimCheckReservedLock,
    shimFileControl, shimSectorSize, shimDeviceCharacteristics, nullptr, nullptr,
    nullptr,   nullptr,       nullptr,         nullptr,
};

int shimOpen(sqlite3_vfs *, const char *name, sqlite3_file *file, int flags, int *outFlags)
{
    ShimFile *own = shim(file);
    own->base.pMethods = nullptr;
    own->mainDb = (flags & SQLITE_OPEN_MAIN_DB) != 0;
    const int rc = g_real->xOpen(g_real, name, own->real(), flags, outFlags);
    if (rc == SQLITE_OK)
        own->base.pMethods = &kShimMethods;
    return rc;
}

} // namespace

FailingVfs::FailingVfs()
{
    g_real = sqlite3_vfs_find(nullptr);
    g_shim = *g_real;
    g_shim.iVersion = g_real->iVersion;
    g_shim.szOsFile = int(sizeof(ShimFile)) + g_real->szOsFile;
    g_shim.zName = "failing";
    g_shim.pNext = nullptr;
    g_shim.xOpen = shimOpen;
    g_failed = 0;
    g_armed = false;
    sqlite3_vfs_register(&g_shim, 1);
}

FailingVfs::~FailingVfs()
{
    sqlite3_vfs_unregister(&g_shim);
    sqlite3_vfs_register(g_real, 1);
}

void FailingVfs::arm(bool failWrites)
{
    g_armed = failWrites;
}

int FailingVfs::failedWrites() const
{
    return g_failed;
}
