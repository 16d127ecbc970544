// Stored queries: the views the program names and reads, and the purge that drops them all
// together with the next write, so that a purge and the same query again write nothing.
#include "datastore/database.h"

#include "datastore/errors.h"
#include "datastore/sql_text.h"
#include "datastore/statement.h"

#include <sqlcipher/sqlite3.h>

namespace ds {
namespace {

// The engine keeps a view's text without the blanks and semicolons that end it.
QString asStoredByEngine(const QString &sql)
{
    qsizetype end = sql.size();
    while (end > 0 && (sql[end - 1].isSpace() || sql[end - 1] == QLatin1Char(';')))
        --end;
    return sql.left(end);
}

} // namespace

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

} // namespace ds
