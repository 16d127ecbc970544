#pragma once

#include "datastore/connection_link.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace ds {

// Direct access to one table: a current index, seek "=", and add / edit / update / delete
// of the current row. Rows are addressed by their row id, so edits reach exactly the row
// that was found. Used after its Database has closed, it throws instead of touching the file.
class TableRecordset {
public:
    TableRecordset(ConnectionLink link, const QString &table);

    const QString &table() const { return m_table; }
    int fieldCount() const { return int(m_columns.size()); }
    QString fieldName(int position) const { return m_columns.value(position); }
    int fieldPosition(const QString &name) const;

    int recordCount() const;

    // Selects an index of the table by name; seeks then compare with its first key column.
    void setIndex(const QString &indexName);
    QString index() const { return m_indexName; }
    // Positions on the first row whose key equals the value exactly (comparison "=");
    // without a match noMatch() is true and there is no current row.
    void seek(const QString &comparison, const QVariant &key);
    bool noMatch() const { return m_noMatch; }

    void moveFirst();
    void moveLast();
    void moveNext();
    bool eof() const;
    bool bof() const;

    QVariant field(int position) const;
    QVariant field(const QString &name) const;

    void addNew();
    void edit();
    void setField(int position, const QVariant &value);
    void setField(const QString &name, const QVariant &value);
    // Appends bytes to a binary field of the row being added or edited.
    void appendChunk(int position, const QByteArray &bytes);
    void update();
    void cancelUpdate();
    void deleteCurrent();

    void close() { m_link.reset(); }

private:
    enum class EditMode { None, Adding, Editing };

    void loadOrder();
    void moveTo(qsizetype position);
    void loadCurrent();
    int requirePosition(const QString &name) const;
    [[noreturn]] void throwDuplicate(int rc);
    sqlite3 *db() const { return liveHandle(m_link); }

    ConnectionLink m_link;
    QString m_table;
    QStringList m_columns;
    QString m_indexName;
    QStringList m_indexColumns;

    QList<qint64> m_order; // row ids in the order of the current index, read on first move
    bool m_orderLoaded = false;
    qsizetype m_position = -1;
    qint64 m_rowId = -1;
    QVariantList m_current;
    bool m_noMatch = false;

    EditMode m_mode = EditMode::None;
    QVariantList m_buffer;
    QList<bool> m_touched;
};

} // namespace ds
