#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace ds {

class Statement;

// The rows of a query, read when it opens, with a cursor on the first row. The program's
// queries return at most a few thousand short rows, so holding them costs little and lets the
// cursor move both ways.
class Dynaset {
public:
    Dynaset() = default;
    explicit Dynaset(Statement &statement);

    int recordCount() const { return int(m_rows.size()); }
    bool eof() const { return m_position >= m_rows.size(); }
    bool bof() const { return m_position < 0 || m_rows.isEmpty(); }
    void moveFirst() { m_position = 0; }
    void moveLast() { m_position = m_rows.isEmpty() ? 0 : m_rows.size() - 1; }
    void moveNext();
    void movePrevious();

    int fieldCount() const { return int(m_names.size()); }
    QString fieldName(int position) const { return m_names.value(position); }
    int fieldPosition(const QString &name) const; // -1 when there is no such column

    // The current row's value; a Null value is an invalid QVariant. Throws without a current row.
    QVariant field(int position) const;
    QVariant field(const QString &name) const;
    bool isNull(int position) const { return field(position).isNull(); }
    // The value as text; Null gives the empty text.
    QString text(int position) const { return field(position).toString(); }

    void close();

private:
    QStringList m_names;
    QList<QVariantList> m_rows;
    qsizetype m_position = 0;
};

// The empty-result test of every read: no row, or the first column of the current row is Null.
// A first column holding the empty text is not empty.
bool isEmptyResult(const Dynaset &result);

} // namespace ds
