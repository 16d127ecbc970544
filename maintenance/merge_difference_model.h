#pragma once

#include "maintenance/import_records.h"

#include <QAbstractTableModel>

namespace maint {

// The different rows of an import plan as a grid, one line per differing text: the name, the
// text's column, ours, theirs. Line breaks show as spaces, a text of nothing as （空）; the
// whole text is the tooltip.
class MergeDifferenceModel : public QAbstractTableModel {
    Q_OBJECT
public:
    MergeDifferenceModel(ImportKind kind, const QList<Difference> &differences, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    struct Line {
        qsizetype difference;
        int field;
    };
    QString text(const Line &line, int column) const;

    ImportKind m_kind;
    QList<Difference> m_differences;
    QList<Line> m_lines;
};

} // namespace maint
