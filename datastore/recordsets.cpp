// Recordsets, statements run on the file and transactions.
#include "datastore/database.h"

#include "datastore/errors.h"
#include "datastore/sql_text.h"
#include "datastore/statement.h"

#include <sqlcipher/sqlite3.h>

namespace ds {

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

} // namespace ds
