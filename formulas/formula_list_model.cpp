#include "formulas/formula_list_model.h"

#include "datastore/herb_aliases.h"
#include "datastore/pinyin_collation.h"

#include <algorithm>
#include <numeric>
#include <string_view>

namespace formulas {

FormulaListModel::FormulaListModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

int FormulaListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int FormulaListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kColumnCount;
}

QString FormulaListModel::cell(int row, int column) const
{
    const FormulaRow *shown = this->row(row);
    if (!shown)
        return {};
    switch (column) {
    case kNameColumn:
        return ds::aliasKey(shown->name);
    case kChapterColumn:
        return shown->chapter;
    case kSourceColumn:
        return ds::aliasKey(shown->source);
    default:
        return {};
    }
}

QVariant FormulaListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    if (role == Qt::DisplayRole || (role == Qt::ToolTipRole && index.column() == kSourceColumn))
        return cell(index.row(), index.column());
    return {};
}

QVariant FormulaListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const char16_t *const headers[] = {u"方剂名称", u"分类", u"来源"};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= kColumnCount)
        return {};
    return QString::fromUtf16(headers[section]);
}

void FormulaListModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= kColumnCount)
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    QList<qint64> rowIdsBefore;
    for (const QModelIndex &index : before)
        rowIdsBefore.append(m_rows[index.row()].rowId);
    m_sortColumn = column;
    m_sortOrder = order;
    sortRows();
    for (qsizetype i = 0; i < before.size(); ++i)
        changePersistentIndex(before[i], index(rowOf(rowIdsBefore[i]), before[i].column()));
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void FormulaListModel::sortRows()
{
    if (m_sortColumn < 0)
        return;
    std::vector<QByteArray> keys;
    keys.reserve(size_t(m_rows.size()));
    for (int row = 0; row < m_rows.size(); ++row)
        keys.push_back(cell(row, m_sortColumn).toUtf8());
    std::vector<int> order(size_t(m_rows.size()));
    std::iota(order.begin(), order.end(), 0);
    const auto view = [&](int row) { return std::string_view(keys[size_t(row)].constData(), size_t(keys[size_t(row)].size())); };
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const int compared = ds::comparePinyin(view(a), view(b));
        return m_sortOrder == Qt::AscendingOrder ? compared < 0 : compared > 0;
    });
    QList<FormulaRow> sorted;
    sorted.reserve(m_rows.size());
    for (int row : order)
        sorted.append(std::move(m_rows[row]));
    m_rows = std::move(sorted);
}

void FormulaListModel::setRows(QList<FormulaRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    if (m_sortColumn != kNameColumn || m_sortOrder != Qt::AscendingOrder) // searches give that order
        sortRows();
    endResetModel();
}

int FormulaListModel::rowOf(qint64 rowId) const
{
    for (int row = 0; row < m_rows.size(); ++row) {
        if (m_rows[row].rowId == rowId)
            return row;
    }
    return -1;
}

} // namespace formulas
