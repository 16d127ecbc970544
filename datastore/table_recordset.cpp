#include "datastore/table_recordset.h"

#include "datastore/errors.h"
#include "datastore/sql_text.h"
#include "datastore/statement.h"

#include <sqlcipher/sqlite3.h>

#include <algorithm>

namespace ds {

TableRecordset::TableRecordset(ConnectionLink link, const QString &table)
    : m_link(std::move(link))
    , m_table(table)
{
    Statement columns(db(), QStringLiteral("PRAGMA table_info(%1)").arg(sqlIdentifier(table)));
    while (columns.step())
        m_columns.append(columns.value(1).toString());
    if (m_columns.isEmpty())
        throw RunError(ErrorCode::ObjectNotFound, QStringLiteral("数据文件中找不到表“%1”。").arg(table));
}

int TableRecordset::fieldPosition(const QString &name) const
{
    for (int position = 0; position < m_columns.size(); ++position) {
        if (m_columns[position].compare(name, Qt::CaseInsensitive) == 0)
            return position;
    }
    return -1;
}

int TableRecordset::requirePosition(const QString &name) const
{
    const int position = fieldPosition(name);
    if (position < 0)
        throw RunError(ErrorCode::ObjectNotFound, QStringLiteral("表“%1”中没有“%2”列。").arg(m_table, name));
    return position;
}

int TableRecordset::recordCount() const
{
    Statement count(db(), QStringLiteral("SELECT count(*) FROM %1").arg(sqlIdentifier(m_table)));
    count.step();
    return int(count.integer(0));
}

void TableRecordset::setIndex(const QString &indexName)
{
    Statement owner(db(), QStringLiteral("SELECT tbl_name FROM sqlite_master WHERE type = 'index' AND name = ?1"));
    owner.bind(1, indexName);
    if (!owner.step() || owner.value(0).toString() != m_table)
        throw RunError(ErrorCode::ObjectNotFound, QStringLiteral("表“%1”没有索引“%2”。").arg(m_table, indexName));
    QStringList keyColumns;
    Statement info(db(), QStringLiteral("PRAGMA index_info(%1)").arg(sqlIdentifier(indexName)));
    while (info.step())
        keyColumns.append(info.value(2).toString());
    m_indexName = indexName;
    m_indexColumns = keyColumns;
    m_orderLoaded = false;
}

void TableRecordset::seek(const QString &comparison, const QVariant &key)
{
    if (m_indexColumns.isEmpty())
        throw RunError(ErrorCode::ObjectNotFound, QStringLiteral("查找前没有选定索引。"));
    if (comparison != QLatin1String("="))
        throw RunError(ErrorCode::SyntaxError, QStringLiteral("只支持按“=”查找。"));
    // COLLATE BINARY matches the index's own collation, so the lookup uses the index and finds
    // exactly the text given.
    Statement find(db(), QStringLiteral("SELECT rowid FROM %1 WHERE %2 = ?1 COLLATE BINARY ORDER BY rowid LIMIT 1")
                             .arg(sqlIdentifier(m_table), sqlIdentifier(m_indexColumns.first())));
    find.bind(1, key);
    m_noMatch = !find.step();
    m_rowId = m_noMatch ? -1 : find.integer(0);
    m_position = -1;
    m_current.clear();
    if (!m_noMatch) {
        loadCurrent();
        if (m_orderLoaded)
            m_position = m_order.indexOf(m_rowId);
    }
}

void TableRecordset::loadOrder()
{
    QString order = QStringLiteral("rowid");
    if (!m_indexColumns.isEmpty()) {
        QStringList keys;
        for (const QString &column : m_indexColumns)
            keys.append(sqlIdentifier(column) + QStringLiteral(" COLLATE BINARY"));
        order = keys.join(QStringLiteral(", ")) + QStringLiteral(", rowid");
    }
    Statement rows(db(), QStringLiteral("SELECT rowid FROM %1 ORDER BY %2").arg(sqlIdentifier(m_table), order));
    m_order.clear();
    while (rows.step())
        m_order.append(rows.integer(0));
    m_orderLoaded = true;
}

void TableRecordset::loadCurrent()
{
    Statement row(db(), QStringLiteral("SELECT * FROM %1 WHERE rowid = ?1").arg(sqlIdentifier(m_table)));
    row.bind(1, m_rowId);
    if (!row.step())
        throw RunError(ErrorCode::NoCurrentRecord);
    m_current = row.row();
}

void TableRecordset::moveTo(qsizetype position)
{
    m_position = position;
    if (m_position >= 0 && m_position < m_order.size()) {
        m_rowId = m_order[m_position];
        loadCurrent();
    } else {
        // Past either end there is no current row: nothing stale may be read, edited or deleted.
        m_rowId = -1;
        m_current.clear();
    }
}

void TableRecordset::moveFirst()
{
    loadOrder();
    m_noMatch = false;
    moveTo(0);
}

void TableRecordset::moveLast()
{
    loadOrder();
    m_noMatch = false;
    moveTo(m_order.size() - 1);
}

void TableRecordset::moveNext()
{
    if (!m_orderLoaded) {
        loadOrder();
        m_position = m_order.indexOf(m_rowId);
    }
    moveTo(std::min(m_position + 1, m_order.size()));
}

bool TableRecordset::eof() const
{
    if (!m_orderLoaded)
        return m_rowId < 0;
    return m_position >= m_order.size();
}

bool TableRecordset::bof() const
{
    if (!m_orderLoaded)
        return m_rowId < 0;
    return m_position < 0 || m_order.isEmpty();
}

QVariant TableRecordset::field(int position) const
{
    if (position < 0 || position >= m_columns.size())
        throw RunError(ErrorCode::ObjectNotFound, QStringLiteral("表“%1”中没有第 %2 列。").arg(m_table).arg(position));
    if (m_mode != EditMode::None)
        return m_buffer[position];
    if (m_current.isEmpty())
        throw RunError(ErrorCode::NoCurrentRecord);
    return m_current[position];
}

QVariant TableRecordset::field(const QString &name) const
{
    return field(requirePosition(name));
}

void TableRecordset::addNew()
{
    m_mode = EditMode::Adding;
    m_buffer = QVariantList(m_columns.size());
    m_touched = QList<bool>(m_columns.size(), false);
}

void TableRecordset::edit()
{
    if (m_current.isEmpty())
        throw RunError(ErrorCode::NoCurrentRecord);
    m_mode = EditMode::Editing;
    m_buffer = m_current;
    m_touched = QList<bool>(m_columns.size(), false);
}

void TableRecordset::setField(int position, const QVariant &value)
{
    if (m_mode == EditMode::None)
        throw RunError(ErrorCode::UpdateWithoutEdit);
    if (position < 0 || position >= m_columns.size())
        throw RunError(ErrorCode::ObjectNotFound, QStringLiteral("表“%1”中没有第 %2 列。").arg(m_table).arg(position));
    m_buffer[position] = value;
    m_touched[position] = true;
}

void TableRecordset::setField(const QString &name, const QVariant &value)
{
    setField(requirePosition(name), value);
}

void TableRecordset::appendChunk(int position, const QByteArray &bytes)
{
    const QVariant current = field(position);
    QByteArray joined = current.isNull() ? QByteArray() : current.toByteArray();
    joined.append(bytes);
    setField(position, joined);
}

void TableRecordset::throwDuplicate(int rc)
{
    // The engine names the refused key as "table.column"; the message names its value.
    const QString engineText = QString::fromUtf8(sqlite3_errmsg(db()));
    for (int position = 0; position < m_columns.size(); ++position) {
        if (engineText.endsWith(m_table + QLatin1Char('.') + m_columns[position]))
            throw RunError(ErrorCode::DuplicateName,
                           QStringLiteral("%1“%2”已经存在，不能重复保存。").arg(m_columns[position], m_buffer[position].toString()));
    }
    throwEngineError(db(), rc);
}

void TableRecordset::update()
{
    if (m_mode == EditMode::None)
        throw RunError(ErrorCode::UpdateWithoutEdit);
    QStringList names;
    QVariantList values;
    for (int position = 0; position < m_columns.size(); ++position) {
        if (m_mode == EditMode::Adding && !m_touched[position])
            continue;
        names.append(sqlIdentifier(m_columns[position]));
        values.append(m_buffer[position]);
    }
    QString sql;
    if (m_mode == EditMode::Adding) {
        QStringList marks;
        for (int i = 1; i <= names.size(); ++i)
            marks.append(QStringLiteral("?%1").arg(i));
        sql = names.isEmpty() ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(sqlIdentifier(m_table))
                              : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                    .arg(sqlIdentifier(m_table), names.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
    } else {
        QStringList sets;
        for (int i = 0; i < names.size(); ++i)
            sets.append(QStringLiteral("%1 = ?%2").arg(names[i]).arg(i + 1));
        sql = QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?%3")
                  .arg(sqlIdentifier(m_table), sets.join(QLatin1Char(',')))
                  .arg(names.size() + 1);
        values.append(m_rowId);
    }
    Statement write(db(), sql);
    for (int i = 0; i < values.size(); ++i)
        write.bind(i + 1, values[i]);
    try {
        write.run();
    } catch (const RunError &) {
        const int refused = sqlite3_extended_errcode(db());
        if (refused == SQLITE_CONSTRAINT_UNIQUE || refused == SQLITE_CONSTRAINT_PRIMARYKEY)
            throwDuplicate(refused);
        throw;
    }
    if (m_mode == EditMode::Adding)
        m_rowId = sqlite3_last_insert_rowid(db());
    m_mode = EditMode::None;
    m_orderLoaded = false;
    loadCurrent();
}

void TableRecordset::cancelUpdate()
{
    m_mode = EditMode::None;
    m_buffer.clear();
}

void TableRecordset::deleteCurrent()
{
    if (m_current.isEmpty() || m_rowId < 0)
        throw RunError(ErrorCode::NoCurrentRecord);
    if (!m_orderLoaded)
        loadOrder();
    const qsizetype position = m_order.indexOf(m_rowId);
    Statement remove(db(), QStringLiteral("DELETE FROM %1 WHERE rowid = ?1").arg(sqlIdentifier(m_table)));
    remove.bind(1, m_rowId);
    remove.run();
    m_current.clear();
    m_rowId = -1;
    // The next move goes on to the row after the deleted one.
    if (position >= 0)
        m_order.removeAt(position);
    m_position = position - 1;
}

} // namespace ds
