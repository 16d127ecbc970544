#pragma once

#include <QString>

#include <functional>

namespace maint {

enum class ImportKind { Herbs, Prescriptions };

// Source files of the system's family are keyed with this password; a backup of this
// system's own data file is keyed with the data file's.
inline const QString kImportSourceConnect = QStringLiteral(";pwd=8162Tre307GW8162nbq");

// The kind's name as the messages give it: 中医药材 or 中医方剂.
QString kindName(ImportKind kind);

// Copies the rows of one kind from the source file into the data file and gives their count.
// The source is opened read-only and never changes. Either every row goes in or none does:
// a row the data file refuses (a name already stored, a Null value) ends the import with a
// RunError that names the row. A source table without rows gives 0. rowDone is called after
// each row (the screen lets its windows repaint there).
int importRecords(const QString &dataFile, const QString &source, ImportKind kind,
                  const std::function<void(int)> &rowDone = {});

} // namespace maint
