#pragma once

#include "formulas/formula_index.h"

#include <QAbstractTableModel>
#include <QList>

namespace formulas {

// The formulas a search found, three read-only columns: name (without its final "。"),
// chapter and source. Sorting by a column orders the rows in pinyin order of its texts.
class FormulaListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { kNameColumn, kChapterColumn, kSourceColumn, kColumnCount };

    explicit FormulaListModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // Replaces every row (given in pinyin order of the names, as searches give them), kept in the
    // order of the last sort asked for.
    void setRows(QList<FormulaRow> rows);
    const QList<FormulaRow> &rows() const { return m_rows; }
    // The row of a formula shown; nothing for a row beyond the list.
    const FormulaRow *row(int row) const { return row >= 0 && row < m_rows.size() ? &m_rows[row] : nullptr; }
    int rowOf(qint64 rowId) const;
    QString cell(int row, int column) const;

private:
    void sortRows();

    QList<FormulaRow> m_rows;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};

} // namespace formulas
