#include "datastore/kept_connection.h"

#include "datastore/key_cache.h"

#include <QByteArray>
#include <QFile>

#include <sqlcipher/sqlite3.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <mutex>
#include <optional>
#include <utility>

namespace ds {
namespace {

// What tells one file at a path from another, and a file from itself after anyone but the
// kept connection wrote it.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    timespec changed{};
    QByteArray salt;

    bool operator==(const FileIdentity &other) const
    {
        const auto same = [](const timespec &a, const timespec &b) { return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec; };
        return device == other.device && inode == other.inode && size == other.size && same(modified, other.modified)
               && same(changed, other.changed) && salt == other.salt;
    }
};

// The file at the path as the kept connection sees it; nullopt when the path no longer names
// the file the connection opened, or the file's mode now allows more or less than the
// connection was opened with. The engine compares the inode its own descriptor opened with the
// path's (asked after the stat, so what the stat read is that file); the salt is read through
// that descriptor too: opening and closing the file anew would drop the locks that other
// connections of this process hold on it.
std::optional<FileIdentity> identityOf(const QString &path, sqlite3 *db)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat info {};
    int moved = 1;
    if (::stat(name.constData(), &info) != 0 || !S_ISREG(info.st_mode)
        || sqlite3_file_control(db, "main", SQLITE_FCNTL_HAS_MOVED, &moved) != SQLITE_OK || moved)
        return std::nullopt;
    // As the process may write it now: root without the right to override modes included.
    const bool writable = ::faccessat(AT_FDCWD, name.constData(), W_OK, AT_EACCESS) == 0;
    if (writable == (sqlite3_db_readonly(db, "main") != 0))
        return std::nullopt;
    FileIdentity identity;
    identity.device = info.st_dev;
    identity.inode = info.st_ino;
    identity.size = info.st_size;
    identity.modified = info.st_mtim;
    identity.changed = info.st_ctim;
    sqlite3_file *file = nullptr;
    identity.salt.resize(kSaltBytes);
    if (sqlite3_file_control(db, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || !file || !file->pMethods
        || file->pMethods->xRead(file, identity.salt.data(), kSaltBytes, 0) != SQLITE_OK)
        return std::nullopt;
    return identity;
}

// Changes with every commit by another connection; -1 when the file cannot be read.
qint64 dataVersion(sqlite3 *db)
{
    sqlite3_stmt *stmt = nullptr;
    qint64 version = -1;
    if (sqlite3_prepare_v2(db, "PRAGMA data_version", -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW)
        version = sqlite3_column_int64(stmt, 0);
    sqlite3_finalize(stmt);
    return version;
}

sqlite3_vfs *fileLayerOf(sqlite3 *db)
{
    sqlite3_vfs *vfs = nullptr;
    sqlite3_file_control(db, "main", SQLITE_FCNTL_VFS_POINTER, &vfs);
    return vfs;
}

// Only the file itself: nothing attached, no transaction or statement of the last operation.
bool idle(sqlite3 *db)
{
    if (!sqlite3_get_autocommit(db) || sqlite3_next_stmt(db, nullptr))
        return false;
    sqlite3_stmt *stmt = nullptr;
    int files = 0;
    if (sqlite3_prepare_v2(db, "PRAGMA database_list", -1, &stmt, nullptr) == SQLITE_OK) {
        while (sqlite3_step(stmt) == SQLITE_ROW)
            ++files;
    }
    sqlite3_finalize(stmt);
    return files == 1 || files == 2; // main, and temp once it was used
}

struct Kept {
    sqlite3 *db = nullptr;
    QString path;
    QString password;
    pid_t process = 0; // a forked child never reads through its parent's connection
    sqlite3_vfs *vfs = nullptr;
    FileIdentity identity;
    qint64 dataVersion = -1;
};

void closeHandle(const Kept &kept)
{
    // A handle inherited through fork() belongs to the parent: the child lets it be.
    if (kept.db && kept.process == ::getpid())
        sqlite3_close_v2(kept.db);
}

class Slot {
public:
    ~Slot() { closeHandle(m_kept); }
    Kept exchange(Kept kept)
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        return std::exchange(m_kept, std::move(kept));
    }

private:
    std::mutex m_mutex;
    Kept m_kept;
};

std::atomic<int> served{0};

Slot &slot()
{
    static Slot kept;
    return kept;
}

bool stillValid(const Kept &kept, const QString &path, const QString &password)
{
    if (kept.path != path || kept.password != password || kept.process != ::getpid()
        || kept.vfs != sqlite3_vfs_find(nullptr))
        return false;
    const std::optional<FileIdentity> now = identityOf(path, kept.db);
    return now && *now == kept.identity && dataVersion(kept.db) == kept.dataVersion;
}

} // namespace

void sizeCacheForKeeping(sqlite3 *db)
{
    static const QByteArray pragma = "PRAGMA cache_size = -" + QByteArray::number(kKeptCacheKibibytes);
    sqlite3_exec(db, pragma.constData(), nullptr, nullptr, nullptr);
}

sqlite3 *takeKeptConnection(const QString &path, const QString &password)
{
    Kept kept = slot().exchange({});
    if (!kept.db)
        return nullptr;
    if (stillValid(kept, path, password)) {
        ++served;
        return kept.db;
    }
    closeHandle(kept);
    return nullptr;
}

void keepConnection(sqlite3 *db, const QString &path, const QString &password)
{
    if (!db)
        return;
    Kept kept{db, path, password, ::getpid(), fileLayerOf(db), {}, -1};
    std::optional<FileIdentity> identity;
    if (idle(db)) {
        sqlite3_commit_hook(db, nullptr, nullptr);
        sqlite3_rollback_hook(db, nullptr, nullptr);
        sizeCacheForKeeping(db);
        identity = identityOf(path, db);
        kept.dataVersion = dataVersion(db);
    }
    if (!identity || kept.dataVersion < 0) {
        sqlite3_close_v2(db);
        return;
    }
    kept.identity = *identity;
    closeHandle(slot().exchange(std::move(kept)));
}

void closeKeptConnection()
{
    closeHandle(slot().exchange({}));
}

int keptConnectionServed()
{
    return served;
}

} // namespace ds
