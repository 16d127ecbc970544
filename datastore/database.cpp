#include "datastore/database.h"

#include "datastore/errors.h"
#include "datastore/key_cache.h"
#include "datastore/pinyin_collation.h"
#include "datastore/sql_text.h"
#include "datastore/statement.h"

#include <QFile>
#include <QFileInfo>

#include <sqlcipher/sqlite3.h>

namespace ds {
namespace {

constexpr int kSaltBytes = 16;
constexpr int kCipherPageSize = 1024;
const QByteArray kPlainHeader("SQLite format 3\0", 16);

// The engine keeps a view's text without the blanks and semicolons that end it.
QString asStoredByEngine(const QString &sql)
{
    qsizetype end = sql.size();
    while (end > 0 && (sql[end - 1].isSpace() || sql[end - 1] == QLatin1Char(';')))
        --end;
    return sql.left(end);
}

QString withPath(ErrorCode code, const QString &path)
{
    return describe(code) + QStringLiteral("（%1）").arg(path);
}

// A journal whose header the engine has written is rolled back at the first read, and the
// rollback cuts the file back to its size before the write: a disk that filled up while the
// file grew leaves part of a page at its end until then.
bool journalToRollBack(const QString &path)
{
    QFile journal(path + QStringLiteral("-journal"));
    char first = 0;
    return journal.open(QIODevice::ReadOnly) && journal.getChar(&first) && first != 0;
}

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

// The pinyin order is recorded with the file; a changed collator rebuilds what depends on it.
void checkCollatorVersion(sqlite3 *db)
{
    Statement read(db, QStringLiteral("PRAGMA user_version"));
    read.step();
    const qint64 stored = read.integer(0);
    const qint32 current = pinyinCollatorVersion();
    if (stored == current)
        return;
    try {
        Statement(db, QStringLiteral("REINDEX %1").arg(QLatin1String(kPinyinCollation))).run();
        Statement(db, QStringLiteral("PRAGMA user_version = %1").arg(current)).run();
    } catch (const RunError &) {
        // A file that cannot be written now (read-only, busy) is rebuilt at a later open.
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

void Database::watchTransactions()
{
    if (!m_db)
        return;
    sqlite3_rollback_hook(m_db, &Database::transactionRolledBack, this);
    sqlite3_commit_hook(m_db, &Database::transactionCommitted, this);
}

void Database::transactionRolledBack(void *database)
{
    auto *self = static_cast<Database *>(database);
    for (const QString &name : std::exchange(self->m_purgedAgainOnRollback, {})) {
        if (!self->m_purged.contains(name))
            self->m_purged.append(name);
    }
}

int Database::transactionCommitted(void *database)
{
    static_cast<Database *>(database)->m_purgedAgainOnRollback.clear();
    return 0; // the commit goes ahead
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
    Database database = openKeyed(path, connect, mode, flags);
    checkCollatorVersion(database.m_db);
    return database;
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
    Database database = openKeyed(path, connect, KeyMode::Cached, SQLITE_OPEN_READWRITE);
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
    if (sound && rc == SQLITE_DONE)
        return;
    if ((rc & 0xff) == SQLITE_BUSY || (rc & 0xff) == SQLITE_LOCKED)
        throwEngineError(database.m_db, rc, path);
    // A page the check reports as unsound is a damaged page, whatever the engine answered.
    const ErrorCode damaged = *fileStateCode(SQLITE_CORRUPT);
    throw RunError(damaged, withPath(damaged, path));
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
        sqlite3_close_v2(m_db);
        m_db = nullptr;
        if (m_link)
            *m_link = nullptr;
        m_link.reset();
    }
}

QStringList Database::storedViews() const
{
    Statement list(m_db, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'view' ORDER BY name"));
    QStringList names;
    while (list.step())
        names.append(list.value(0).toString());
    return names;
}

QStringList Database::queryNames() const
{
    QStringList names = storedViews();
    names.removeIf([this](const QString &name) { return m_purged.contains(name); });
    return names;
}

int Database::queryCount() const
{
    return int(queryNames().size());
}

void Database::dropViews(const QStringList &names)
{
    // A name may already be gone: dropped inside a transaction that was then committed.
    for (const QString &name : names)
        Statement(m_db, QStringLiteral("DROP VIEW IF EXISTS %1").arg(sqlIdentifier(name))).run();
}

void Database::flushPurge()
{
    if (m_purged.isEmpty())
        return;
    if (sqlite3_get_autocommit(m_db)) {
        Transaction purge(*this);
        dropViews(m_purged);
        purge.commit();
        m_purged.clear();
    } else {
        // Inside the caller's transaction a rollback would bring the queries back, so they
        // stay pending until a write of our own has dropped them for good.
        dropViews(m_purged);
    }
}

void Database::createQuery(const QString &name, const QString &sql)
{
    // The text is checked on its own first, so that it is one SELECT and nothing more.
    { Statement check(m_db, sql); }
    // A purged query that comes back exactly as it was is kept instead of dropped and made again.
    const bool keep = m_purged.contains(name) && queryTextInFile(name) == asStoredByEngine(sql);
    QStringList toDrop = m_purged;
    if (keep)
        toDrop.removeOne(name);
    const bool ownTransaction = sqlite3_get_autocommit(m_db);
    if (keep && toDrop.isEmpty()) {
        if (!ownTransaction)
            m_purgedAgainOnRollback.append(name);
        m_purged.clear();
        return;
    }
    try {
        if (ownTransaction)
            beginTransaction();
        dropViews(toDrop);
        if (!keep) {
            if (storedViews().contains(name))
                throw RunError(ErrorCode::DuplicateName, QStringLiteral("查询“%1”已经存在。").arg(name));
            Statement(m_db, QStringLiteral("CREATE VIEW %1 AS %2").arg(sqlIdentifier(name), sql)).run();
        }
        if (ownTransaction)
            commit();
    } catch (...) {
        // Nothing changed for good: the purge is still pending, the query was not made.
        if (ownTransaction)
            rollback();
        throw;
    }
    if (ownTransaction) {
        m_purged.clear();
    } else {
        // Inside the caller's transaction: a rollback brings the old query back, still purged.
        if (m_purged.contains(name))
            m_purgedAgainOnRollback.append(name);
        toDrop.removeAll(name);
        m_purged = toDrop;
    }
}

void Database::deleteQuery(const QString &name)
{
    flushPurge();
    if (!storedViews().contains(name))
        throw RunError(ErrorCode::ObjectNotFound, QStringLiteral("数据文件中找不到查询“%1”。").arg(name));
    Statement(m_db, QStringLiteral("DROP VIEW %1").arg(sqlIdentifier(name))).run();
}

QString Database::queryTextInFile(const QString &name) const
{
    Statement read(m_db, QStringLiteral("SELECT sql FROM sqlite_master WHERE type = 'view' AND name = ?1"));
    read.bind(1, name);
    if (!read.step())
        return {};
    // The engine keeps "CREATE VIEW "name" AS text"; the stored query is the text.
    const QString stored = read.value(0).toString();
    const QString prefix = QStringLiteral("CREATE VIEW %1 AS ").arg(sqlIdentifier(name));
    return stored.startsWith(prefix) ? stored.mid(prefix.size()) : stored;
}

QString Database::queryText(const QString &name) const
{
    if (m_purged.contains(name) || !storedViews().contains(name))
        throw RunError(ErrorCode::ObjectNotFound, QStringLiteral("数据文件中找不到查询“%1”。").arg(name));
    return queryTextInFile(name);
}

void Database::purgeQueries()
{
    for (const QString &name : storedViews()) {
        if (!m_purged.contains(name))
            m_purged.append(name);
    }
}

bool Database::isTableOrQuery(const QString &name) const
{
    Statement find(m_db, QStringLiteral("SELECT 1 FROM sqlite_master WHERE type IN ('table', 'view') AND name = ?1"));
    find.bind(1, name);
    return find.step();
}

Dynaset Database::openDynaset(const QString &source)
{
    flushPurge();
    const bool named = isTableOrQuery(source);
    const QString sql = named ? QStringLiteral("SELECT * FROM %1").arg(sqlIdentifier(source)) : toEngineDialect(source);
    // Opening a recordset only reads: a DELETE or INSERT given here would run while it opens,
    // and a BEGIN, ROLLBACK, SAVEPOINT, ATTACH or PRAGMA (which the engine calls read-only)
    // would change the connection under the program's feet.
    const auto refuse = [] {
        return RunError(ErrorCode::SyntaxError, describe(ErrorCode::SyntaxError) + QStringLiteral("（记录集只能由查询打开）"));
    };
    if (!named && !isSelectText(sql))
        throw refuse();
    Statement query(m_db, sql);
    if (!query.isReadOnly())
        throw refuse();
    return Dynaset(query);
}

TextColumn Database::readColumn(const QString &source, int position)
{
    flushPurge();
    QString sql = toEngineDialect(source);
    int column = position;
    if (isTableOrQuery(source)) {
        // Only that column: naming it lets the engine leave the others unread.
        const QString from = QStringLiteral(" FROM %1").arg(sqlIdentifier(source));
        Statement all(m_db, QStringLiteral("SELECT *") + from);
        if (position < 0 || position >= all.columnCount())
            throw RunError(ErrorCode::ObjectNotFound, QStringLiteral("查询结果中没有第 %1 列。").arg(position));
        sql = QStringLiteral("SELECT %1").arg(sqlIdentifier(all.columnName(position))) + from;
        column = 0;
    }
    Statement query(m_db, sql);
    if (!query.isReadOnly())
        throw RunError(ErrorCode::SyntaxError, describe(ErrorCode::SyntaxError) + QStringLiteral("（记录集只能由查询打开）"));
    if (column < 0 || column >= query.columnCount())
        throw RunError(ErrorCode::ObjectNotFound, QStringLiteral("查询结果中没有第 %1 列。").arg(position));
    TextColumn result;
    while (query.step()) {
        const QVariant value = query.value(column);
        if (result.texts.isEmpty())
            result.firstIsNull = value.isNull();
        result.texts.append(value.toString());
    }
    return result;
}

bool isEmptyResult(const TextColumn &column)
{
    return column.texts.isEmpty() || column.firstIsNull;
}

TableRecordset Database::openTable(const QString &table)
{
    flushPurge();
    return TableRecordset(m_link, table);
}

int Database::execute(const QString &sql)
{
    return execute(sql, {});
}

int Database::execute(const QString &sql, const QVariantList &values)
{
    flushPurge();
    Statement statement(m_db, toEngineDialect(sql));
    for (int i = 0; i < values.size(); ++i)
        statement.bind(i + 1, values[i]);
    return statement.run();
}

void Database::beginTransaction()
{
    Statement(m_db, QStringLiteral("BEGIN IMMEDIATE")).run();
}

void Database::commit()
{
    Statement(m_db, QStringLiteral("COMMIT")).run();
}

void Database::rollback()
{
    if (m_db && !sqlite3_get_autocommit(m_db))
        Statement(m_db, QStringLiteral("ROLLBACK")).run();
}

bool Database::inTransaction() const
{
    return m_db && !sqlite3_get_autocommit(m_db);
}

Transaction::Transaction(Database &db)
    : m_link(db.link())
{
    Statement(liveHandle(m_link), QStringLiteral("BEGIN IMMEDIATE")).run();
}

Transaction::~Transaction()
{
    sqlite3 *db = m_link ? *m_link : nullptr;
    if (!m_done && db && !sqlite3_get_autocommit(db)) {
        try {
            Statement(db, QStringLiteral("ROLLBACK")).run();
        } catch (...) {
        }
    }
}

void Transaction::commit()
{
    Statement(liveHandle(m_link), QStringLiteral("COMMIT")).run();
    m_done = true;
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
