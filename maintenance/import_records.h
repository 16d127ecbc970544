#pragma once

#include "maintenance/import_merge.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace maint {

enum class ImportKind { Herbs, Prescriptions };

// What happens to the rows whose names are stored already with other contents.
enum class MergeChoice { KeepOurs, TakeTheirs };

// Which imported texts replace the stored ones: for each different row of a plan, in its order,
// the positions (among its differing ones) of the texts taken; a row with none stays as stored.
using TakenTexts = QList<QList<int>>;

// Every differing text (TakeTheirs) or none (KeepOurs).
TakenTexts takenTexts(const MergePlan &plan, MergeChoice choice);

// Source files of the system's family are keyed with this password; a backup of this
// system's own data file is keyed with the data file's.
inline const QString kImportSourceConnect = QStringLiteral(";pwd=8162Tre307GW8162nbq");

// The kind's table as the messages give it: 中医药材 or 中医方剂.
QString kindName(ImportKind kind);
// One record of the kind in a message (药材, 方剂) and the word it is counted with (味, 首).
QString kindNoun(ImportKind kind);
QString kindMeasure(ImportKind kind);
// The eight columns of the kind's table, in their order.
const QStringList &fieldNames(ImportKind kind);

// Reads the whole source and the stored rows its names meet, and sorts the source rows (see
// sortForMerge). Writes nothing to either file; the source is opened read-only. A source
// that cannot be read whole (a missing table or column, a Null value, a row without a name)
// is a RunError that names what is wrong. rowRead is called after each source row.
MergePlan planImport(const QString &dataFile, const QString &source, ImportKind kind,
                     const std::function<void(int)> &rowRead = {});

// Writes a plan into the data file in one transaction: the new rows, and the taken imported
// texts over the stored ones. All or nothing. Before it writes over any stored text it keeps the
// data file as it stands (keepBeforeImport), and gives that copy's path; else the empty text.
// rowDone is called after each row.
QString applyImport(const QString &dataFile, ImportKind kind, const MergePlan &plan, const TakenTexts &taken,
                    const std::function<void(int)> &rowDone = {});
QString applyImport(const QString &dataFile, ImportKind kind, const MergePlan &plan, MergeChoice choice,
                    const std::function<void(int)> &rowDone = {});

// What the import did, once written, and where the data before it was kept.
QString importMessage(ImportKind kind, const MergePlan &plan, const TakenTexts &taken, const QString &keptBefore = {});
QString importMessage(ImportKind kind, const MergePlan &plan, MergeChoice choice, const QString &keptBefore = {});

// Plans and writes an import that keeps the stored contents; the count of new rows written.
int importRecords(const QString &dataFile, const QString &source, ImportKind kind,
                  const std::function<void(int)> &rowDone = {});

} // namespace maint
