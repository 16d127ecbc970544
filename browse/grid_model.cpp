#include "browse/grid_model.h"

#include "browse/name_condition.h"
#include "datastore/engine_text.h"
#include "datastore/herb_aliases.h"
#include "datastore/text_trim.h"

namespace browse {
namespace {

QString storedText(std::string_view value)
{
    return ds::fromEngineText(value.data(), qsizetype(value.size()));
}

} // namespace

QString aliasTip(const ds::AliasTable &aliases, const QString &name)
{
    const QStringList all = aliases.aliasesOf(name);
    return all.isEmpty() ? QString() : QStringLiteral("别名：") + all.join(QChar(0x3001));
}

QString aliasTip(const ds::AliasTable &aliases, const QString &name, const QString &typedName)
{
    QString tip = aliasTip(aliases, name);
    if (ds::trimSpaces(typedName).isEmpty() || nameMeets(name, typedName))
        return tip;
    const QString alias = aliases.aliasMatching(name, typedName);
    if (!alias.isEmpty())
        tip += QStringLiteral("\n由别名“%1”查到").arg(alias);
    return tip;
}

QList<GridColumn> parseFormatString(const QString &format)
{
    QList<GridColumn> columns;
    for (const QString &part : format.split(QLatin1Char('|'))) {
        GridColumn column{part, Qt::AlignLeft};
        if (part.startsWith(QLatin1Char('<')) || part.startsWith(QLatin1Char('^')) || part.startsWith(QLatin1Char('>'))) {
            const QChar mark = part.front();
            column.alignment = mark == QLatin1Char('<') ? Qt::AlignLeft
                               : mark == QLatin1Char('^') ? Qt::AlignHCenter
                                                          : Qt::AlignRight;
            column.header = part.mid(1);
        }
        columns.append(column);
    }
    return columns;
}

GridRow::GridRow(std::span<const std::string_view> values)
    : m_count(int(std::min(values.size(), m_ends.size())))
{
    qsizetype bytes = 0;
    for (int column = 0; column < m_count; ++column)
        bytes += qsizetype(values[size_t(column)].size());
    m_values.reserve(bytes);
    for (int column = 0; column < m_count; ++column) {
        const std::string_view value = values[size_t(column)];
        m_values.append(value.data(), qsizetype(value.size()));
        m_ends[size_t(column)] = quint32(m_values.size());
    }
}

std::string_view GridRow::value(int column) const
{
    if (column < 0 || column >= m_count)
        return {};
    const quint32 begin = column == 0 ? 0 : m_ends[size_t(column - 1)];
    return std::string_view(m_values.constData() + begin, m_ends[size_t(column)] - begin);
}

QString GridRow::cell(int column) const
{
    return ds::trimSpaces(storedText(value(column)));
}

QString GridRow::storedName() const
{
    return storedText(value(0));
}

HerbGridModel::HerbGridModel(QObject *parent)
    : QAbstractTableModel(parent)
    , m_columns(parseFormatString(kGridFormat))
{
}

int HerbGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int HerbGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kGridColumns;
}

QVariant HerbGridModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    if (role == Qt::DisplayRole)
        return m_rows[index.row()].cell(index.column());
    if (role == Qt::TextAlignmentRole)
        return int(m_columns.value(index.column()).alignment | Qt::AlignVCenter);
    if (role == Qt::ToolTipRole && index.column() == 0 && m_aliases) {
        const QString aliases = aliasTip(*m_aliases, m_rows[index.row()].storedName(), m_typedName);
        if (!aliases.isEmpty())
            return aliases;
    }
    return {};
}

QVariant HerbGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical) {
        // Rows carry no number: the herb's name is the row's fixed column.
        return role == Qt::DisplayRole ? QVariant(QString()) : QVariant();
    }
    if (section < 0 || section >= kGridColumns)
        return {};
    if (role == Qt::DisplayRole)
        return m_columns.value(section).header;
    if (role == Qt::TextAlignmentRole)
        return int(m_columns.value(section).alignment | Qt::AlignVCenter);
    return {};
}

void HerbGridModel::setRows(QList<GridRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

QString HerbGridModel::storedName(int row) const
{
    return row >= 0 && row < m_rows.size() ? m_rows[row].storedName() : QString();
}

QString HerbGridModel::cell(int row, int column) const
{
    if (row < 0 || row >= m_rows.size() || column < 0 || column >= kGridColumns)
        return {};
    return m_rows[row].cell(column);
}

} // namespace browse
