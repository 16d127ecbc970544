#pragma once

#include "maintenance/import_records.h"

#include <QAbstractTableModel>

namespace maint {

// The different rows of an import plan as a grid, one line per differing text: the name, the
// text's column, ours, theirs. Each text is given whole, its line breaks kept (the grid wraps
// it); a text of nothing shows as （空）. The name and the column are ticked to take the
// imported text: the name's tick takes or leaves all of that herb's texts at once and shows
// partly ticked when some are taken. Nothing is ticked at first.
class MergeDifferenceModel : public QAbstractTableModel {
    Q_OBJECT
public:
    MergeDifferenceModel(ImportKind kind, const QList<Difference> &differences, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The lines of each difference, in order: its first line and how many it has.
    QList<std::pair<int, int>> differenceLines() const;
    // What is ticked, as an import takes it.
    TakenTexts taken() const;
    bool anyTaken() const;

signals:
    void takenChanged();

private:
    struct Line {
        qsizetype difference;
        int field;
        bool taken = false;
    };
    QString text(const Line &line, int column) const;
    Qt::CheckState differenceState(qsizetype difference) const;

    ImportKind m_kind;
    QList<Difference> m_differences;
    QList<Line> m_lines;
};

} // namespace maint
