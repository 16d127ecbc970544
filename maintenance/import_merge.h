#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace maint {

// A row of the data file's table: its rowid and its eight texts as they are stored.
struct StoredRow {
    qint64 rowId = 0;
    QStringList texts;
};

// A row of the import source: its line (counted from 1) and its eight texts in stored form; a
// null text is one the source does not have (the family's formulas have no 方剂备注).
struct SourceRow {
    int line = 0;
    QStringList texts;
};

// A name present on both sides with some text different: both rows, and the positions of
// the texts that differ.
struct Difference {
    qint64 rowId = 0;
    QStringList ours;
    QStringList theirs;
    QList<int> fields;
};

// What an import would do: the source rows sorted into new, identical and different.
struct MergePlan {
    int sourceRows = 0;
    QList<QStringList> fresh; // in stored form, in the source's order
    int identical = 0;
    QList<Difference> different;
};

// The positions where the texts differ once ours are in stored form too; a text theirs does not
// have differs from none.
QList<int> differingFields(const QStringList &ours, const QStringList &theirs);

// Sorts the source rows against the stored ones by name, both sides compared in stored form:
// a name not stored is new, a row whose eight texts equal the stored row's is identical, any
// other is different. A text the source does not have is stored as " " in a new row and keeps
// ours in a different one, so taking theirs never clears it. A name met again in the source counts as identical when its row equals
// the first; otherwise the source contradicts itself and a RunError names both lines. Only
// the stored rows whose names the source holds need be given.
MergePlan sortForMerge(const QList<StoredRow> &stored, const QList<SourceRow> &source);

} // namespace maint
