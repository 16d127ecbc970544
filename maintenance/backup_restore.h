#pragma once

#include <QString>

#include <optional>

namespace maint {

enum class CopyMode { Backup, Restore };

// What a failed copy reports: the error box's number and description.
struct CopyFailure {
    int number = 0;
    QString description;
};

// The file that keeps the data file a restore replaced ("ccyc.mdb.bak").
QString replacedCopyPath(const QString &dataFile);

// Backs the data file up to destination: a copy beside the destination is checked with the
// password and the engine's quick check, then renamed over it; an older file of that name
// stays as it was when anything fails. A journal left by a crash is rolled back first.
void backUp(const QString &dataFile, const QString &destination);

// Puts the backup at source in the data file's place. The source is refused unless it is a
// whole data file of this system; the copy goes through a checked temporary file and one
// rename; the replaced data file is kept as ccyc.mdb.bak; a journal beside the data file is
// removed once the restored file is in place, so it can never be rolled into it.
void restore(const QString &source, const QString &dataFile);

// Either of the two by mode; nothing on success, else the failure to report.
std::optional<CopyFailure> runCopy(CopyMode mode, const QString &dataFile, const QString &chosenPath);

} // namespace maint
