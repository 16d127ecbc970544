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

// What tells the connection's file from itself after another program wrote it without the
// engine. The engine itself meets a commit by another connection (it reads the change counter on
// the first page at the start of every read and drops the pages it holds when it changed) and a
// file cut shorter than its first page says (refused as damaged); pages written in place behind
// an unchanged first page only the time tells.
struct FileIdentity {
    timespec modified{};
    QByteArray salt; // another file written in place: the key is made from its salt

    bool operator==(const FileIdentity &other) const
    {
        return modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec && salt == other.salt;
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
    identity.modified = info.st_mtim;
    sqlite3_file *file = nullptr;
    identity.salt.resize(kSaltBytes);
    if (sqlite3_file_control(db, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || !file || !file->pMethods
        || file->pMethods->xRead(file, identity.salt.data(), kSaltBytes, 0) != SQLITE_OK)
        return std::nullopt;
    return identity;
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
    return now && *now == kept.identity;
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
    Kept kept{db, path, password, ::getpid(), fileLayerOf(db), {}};
    std::optional<FileIdentity> identity;
    if (idle(db)) {
        sqlite3_commit_hook(db, nullptr, nullptr);
        sqlite3_rollback_hook(db, nullptr, nullptr);
        sizeCacheForKeeping(db);
        identity = identityOf(path, db);
    }
    if (!identity) {
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
