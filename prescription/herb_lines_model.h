#pragma once

#include "prescription/prescription_check.h"
#include "prescription/prescription_lines.h"

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

namespace rx {

// The herb lines of the prescription pad: one row a line, and below them always one empty row
// to type the next herb into. The last column shows, in words, what the check found on the line:
// its gravest level and the rules.
class HerbLinesModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Name, Dose, Unit, Note, Marks, ColumnCount };
    // The level of the gravest finding on the row (int of Level), or nothing.
    static constexpr int kLevelRole = Qt::UserRole + 1;

    using QAbstractTableModel::QAbstractTableModel;

    // Every row but the empty one below them (rows emptied in between included, so finding
    // indexes stay those of the rows).
    const QList<RxLine> &lines() const { return m_lines; }
    bool holdsHerbs() const;
    void setLines(const QList<RxLine> &lines);
    // Puts lines in place of the row (the empty row below appends them).
    void replaceRow(int row, const QList<RxLine> &lines);
    void removeRow(int row);
    // The words of the findings, on the rows they are about.
    void setFindings(const QList<Finding> &findings);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;

signals:
    // The lines changed by an edit or a call above: the check runs again.
    void linesChanged();

private:
    QList<RxLine> m_lines;
    QList<QStringList> m_marks; // by row: the rule words found on it
    QList<int> m_levels;        // by row: the gravest level, -1 for none
};

} // namespace rx
