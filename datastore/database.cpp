// Opening a data file: the checks of its bytes, the key, the proof of the key, the collator's
// version; the whole-file check; a new file; and the handle's life, kept for the next
// operation at its close.
#include "datastore/database.h"

#include "datastore/data_file.h"
#include "datastore/errors.h"
#include "datastore/kept_connection.h"
#include "datastore/key_cache.h"
#include "datastore/pinyin_collation.h"
#include "datastore/sql_text.h"
#include "datastore/statement.h"

#include <QFile>
#include <QFileInfo>

#include <sqlcipher/sqlite3.h>

namespace ds {
namespace {

constexpr int kCipherPageSize = 1024;
const QByteArray kPlainHeader("SQLite format 3\0", 16);

QString withPath(ErrorCode code, const QString &path)
{
    return describe(code) + QStringLiteral("（%1）").arg(path);
}

} // namespace

QString journalPath(const QString &path)
{
    return path + QStringLiteral("-journal");
}

// A journal whose header the engine has written is rolled back at the first read, and the
// rollback cuts the file back to its size before the write: a disk that filled up while the
// file grew leaves part of a page at its end until then.
bool journalToRollBack(const QString &path)
{
    QFile journal(journalPath(path));
    char first = 0;
    return journal.open(QIODevice::ReadOnly) && journal.getChar(&first) && first != 0;
}

namespace {

bool wholePages(const QString &path)
{
    return QFileInfo(path).size() % kCipherPageSize == 0;
}

// Checks what can be told from the file's bytes before the engine reads it.
QByteArray readSaltOrThrow(const QString &path)
{
    QFile file(path);
    if (QFileInfo(path).isDir())
        throw RunError(ErrorCode::FileCannotBeOpened, describe(ErrorCode::FileCannotBeOpened) + QStringLiteral("（%1 是一个文件夹）").arg(path));
    if (!QFileInfo(path).isFile())
        throw RunError(ErrorCode::FileNotFound, withPath(ErrorCode::FileNotFound, path));
    if (!file.open(QIODevice::ReadOnly))
        throw RunError(ErrorCode::FileCannotBeOpened, withPath(ErrorCode::FileCannotBeOpened, path));
    if (file.size() == 0)
        throw RunError(ErrorCode::EmptyFile, withPath(ErrorCode::EmptyFile, path));
    const QByteArray head = file.read(kSaltBytes);
    if (head == kPlainHeader)
        throw RunError(ErrorCode::UnencryptedFile, withPath(ErrorCode::UnencryptedFile, path));
    if (head.size() < kSaltBytes || (!wholePages(path) && !journalToRollBack(path)))
        throw RunError(ErrorCode::NotADatabase, withPath(ErrorCode::NotADatabase, path));
    return head;
}

sqlite3 *openHandle(const QString &path, int flags)
{
    sqlite3 *db = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_close(db);
        throw RunError(ErrorCode::FileCannotBeOpened, withPath(ErrorCode::FileCannotBeOpened, path));
    }
    sqlite3_busy_timeout(db, 3000);
    sqlite3_extended_result_codes(db, 1);
    return db;
}

void applyKey(sqlite3 *db, const QByteArray &key)
{
    // The key goes through the C API only: a key formatted into SQL would echo in error texts.
    if (sqlite3_key(db, key.constData(), int(key.size())) != SQLITE_OK)
        throwEngineError(db, sqlite3_errcode(db));
}

// Any read proves the key: a wrong one fails at the first page.
void proveKey(sqlite3 *db, const QString &path)
{
    sqlite3_stmt *stmt = nullptr;
    int rc = sqlite3_prepare_v2(db, "SELECT count(*) FROM sqlite_master", -1, &stmt, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_step(stmt);
    sqlite3_finalize(stmt);
    if (rc == SQLITE_ROW)
        return;
    if (const std::optional<ErrorCode> code = fileStateCode(rc))
        throw RunError(*code, withPath(*code, path));
    throwEngineError(db, rc, path);
}

// Whether the file's indexes are in the pinyin order of the collator linked in: the version
// they were built with is recorded with the file.
bool inCollatorOrder(sqlite3 *db)
{
    Statement read(db, QStringLiteral("PRAGMA user_version"));
    read.step();
    return read.integer(0) == pinyinCollatorVersion();
}

// A changed collator rebuilds what depends on its order. False when the file is still in the
// old order: it cannot be written now (read-only, busy) and is rebuilt at a later open.
bool checkCollatorVersion(sqlite3 *db)
{
    if (inCollatorOrder(db))
        return true;
    try {
        Statement(db, QStringLiteral("REINDEX %1").arg(QLatin1String(kPinyinCollation))).run();
        Statement(db, QStringLiteral("PRAGMA user_version = %1").arg(pinyinCollatorVersion())).run();
        return true;
    } catch (const RunError &) {
        return false;
    }
}

} // namespace

Database::Database(sqlite3 *db, QString path)
    : m_db(db)
    , m_link(std::make_shared<sqlite3 *>(db))
    , m_path(std::move(path))
{
    watchTransactions();
}

Database Database::open(const QString &path, const QString &connect, KeyMode mode)
{
    return openWith(path, connect, mode, SQLITE_OPEN_READWRITE);
}

Database Database::openReadOnly(const QString &path, const QString &connect)
{
    return openWith(path, connect, KeyMode::Cached, SQLITE_OPEN_READONLY);
}

Database Database::openWith(const QString &path, const QString &connect, KeyMode mode, int flags)
{
    // Only the program's own way of opening serves the next operation; a read-only open is
    // of a copy that must not change, and a key derived at every open is kept for comparison.
    const bool keepable = mode == KeyMode::Cached && flags == SQLITE_OPEN_READWRITE;
    const QString password = passwordFromConnect(connect);
    if (keepable) {
        if (sqlite3 *kept = takeKeptConnection(path, password)) {
            Database database(kept, path);
            database.keepForNextOperation(password);
            return database;
        }
    }
    Database database = openKeyed(path, connect, mode, flags);
    // A kept connection skips the check: one left in the old order is not kept, so the next
    // operation opens the file afresh and tries the rebuild again.
    if (checkCollatorVersion(database.m_db) && keepable) {
        sizeCacheForKeeping(database.m_db);
        database.keepForNextOperation(password);
    }
    return database;
}

void Database::keepForNextOperation(const QString &password)
{
    m_keepable = true;
    m_password = password;
}

// Opens and proves the key, and nothing more: the whole-file check reads the file as it is.
Database Database::openKeyed(const QString &path, const QString &connect, KeyMode mode, int flags)
{
    const QByteArray salt = readSaltOrThrow(path);
    const QString password = passwordFromConnect(connect);
    Database database(openHandle(path, flags), path);
    if (!password.isEmpty()) {
        QByteArray key;
        if (mode == KeyMode::Cached) {
            QByteArray raw = rawKeyFor(password, salt);
            key = rawKeyLiteral(raw);
            wipe(raw);
        } else {
            key = password.toUtf8();
        }
        try {
            applyKey(database.m_db, key);
        } catch (...) {
            wipe(key);
            throw;
        }
        wipe(key);
    }
    registerTextRules(database.m_db);
    proveKey(database.m_db, path);
    // Sized in whole pages once the journal, if any, is rolled back.
    if (!wholePages(path))
        throw RunError(ErrorCode::NotADatabase, withPath(ErrorCode::NotADatabase, path));
    Statement(database.m_db, QStringLiteral("PRAGMA synchronous = EXTRA")).run(); // a commit survives a power cut
    return database;
}

void Database::checkWholeFile(const QString &path, const QString &connect)
{
    // Always a connection of its own, so every page is read from the disk; the pages it
    // decrypts stay with it for the operations after it.
    closeKeptConnection();
    Database database = openKeyed(path, connect, KeyMode::Cached, SQLITE_OPEN_READWRITE);
    sizeCacheForKeeping(database.m_db);
    database.keepForNextOperation(passwordFromConnect(connect));
    sqlite3_stmt *stmt = nullptr;
    int rc = sqlite3_prepare_v2(database.m_db, "PRAGMA quick_check", -1, &stmt, nullptr);
    bool sound = false;
    if (rc == SQLITE_OK) {
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            const auto *line = reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0));
            sound = line && QByteArray(line) == "ok";
            if (!sound)
                break;
        }
    }
    sqlite3_finalize(stmt);
    if (sound && rc == SQLITE_DONE) {
        // Kept only once the collator's order is known to be the file's: a rebuild writes, and
        // the check must not.
        database.m_keepable = inCollatorOrder(database.m_db);
        return;
    }
    database.m_keepable = false;
    if ((rc & 0xff) == SQLITE_BUSY || (rc & 0xff) == SQLITE_LOCKED)
        throwEngineError(database.m_db, rc, path);
    // A page the check reports as unsound is a damaged page, whatever the engine answered.
    throw RunError(ErrorCode::DamagedFile, withPath(ErrorCode::DamagedFile, path));
}

Database Database::create(const QString &path, const QString &connect)
{
    if (cipherVersion().isEmpty())
        throw RunError(ErrorCode::NoCipher);
    if (QFileInfo::exists(path))
        throw RunError(ErrorCode::CannotCopyFile, QStringLiteral("文件已经存在，不能新建（%1）。").arg(path));
    const QString password = passwordFromConnect(connect);
    if (password.isEmpty())
        throw RunError(ErrorCode::NoCipher, QStringLiteral("新建数据文件必须设置密码。"));
    Database database(openHandle(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE), path);
    applyKey(database.m_db, password.toUtf8());
    registerTextRules(database.m_db);
    Statement(database.m_db, QStringLiteral("PRAGMA cipher_page_size = %1").arg(kCipherPageSize)).run();
    Statement(database.m_db, QStringLiteral("PRAGMA user_version = %1").arg(pinyinCollatorVersion())).run();
    return database;
}

Database::Database(Database &&other) noexcept
    : m_db(std::exchange(other.m_db, nullptr))
    , m_link(std::move(other.m_link))
    , m_path(std::move(other.m_path))
    , m_purged(std::exchange(other.m_purged, {}))
    , m_purgedAgainOnRollback(std::exchange(other.m_purgedAgainOnRollback, {}))
    , m_keepable(std::exchange(other.m_keepable, false))
    , m_password(std::move(other.m_password))
{
    watchTransactions();
}

Database &Database::operator=(Database &&other) noexcept
{
    if (this != &other) {
        close();
        m_db = std::exchange(other.m_db, nullptr);
        m_link = std::move(other.m_link);
        m_path = std::move(other.m_path);
        m_purged = std::exchange(other.m_purged, {});
        m_purgedAgainOnRollback = std::exchange(other.m_purgedAgainOnRollback, {});
        m_keepable = std::exchange(other.m_keepable, false);
        m_password = std::move(other.m_password);
        watchTransactions();
    }
    return *this;
}

Database::~Database()
{
    close();
}

void Database::close()
{
    if (m_db) {
        try {
            flushPurge();
        } catch (const RunError &) {
            // A purge that cannot be written now is repeated by the next operation's purge.
        }
        if (std::exchange(m_keepable, false))
            keepConnection(m_db, m_path, m_password);
        else
            sqlite3_close_v2(m_db);
        m_db = nullptr;
        if (m_link)
            *m_link = nullptr;
        m_link.reset();
    }
}

QString cipherVersion()
{
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return {};
    }
    QString version;
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA cipher_version", -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW)
        version = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0)));
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return version;
}

} // namespace ds
