#include "datastore/dynaset.h"

#include "datastore/errors.h"
#include "datastore/statement.h"

namespace ds {

Dynaset::Dynaset(Statement &statement)
{
    const int columns = statement.columnCount();
    for (int column = 0; column < columns; ++column)
        m_names.append(statement.columnName(column));
    while (statement.step())
        m_rows.append(statement.row());
}

void Dynaset::moveNext()
{
    if (m_position < m_rows.size())
        ++m_position;
}

void Dynaset::movePrevious()
{
    if (m_position >= 0)
        --m_position;
}

int Dynaset::fieldPosition(const QString &name) const
{
    for (int position = 0; position < m_names.size(); ++position) {
        if (m_names[position].compare(name, Qt::CaseInsensitive) == 0)
            return position;
    }
    return -1;
}

QVariant Dynaset::field(int position) const
{
    if (m_position < 0 || m_position >= m_rows.size())
        throw RunError(ErrorCode::NoCurrentRecord);
    if (position < 0 || position >= m_names.size())
        throw RunError(ErrorCode::ObjectNotFound, QStringLiteral("查询结果中没有第 %1 列。").arg(position));
    return m_rows[m_position][position];
}

QVariant Dynaset::field(const QString &name) const
{
    const int position = fieldPosition(name);
    if (position < 0)
        throw RunError(ErrorCode::ObjectNotFound, QStringLiteral("查询结果中没有“%1”列。").arg(name));
    return field(position);
}

void Dynaset::close()
{
    m_rows.clear();
    m_names.clear();
    m_position = 0;
}

bool isEmptyResult(const Dynaset &result)
{
    if (result.recordCount() == 0)
        return true;
    return result.eof() || result.bof() || result.field(0).isNull();
}

} // namespace ds
