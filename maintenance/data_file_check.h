#pragma once

#include "datastore/database.h"
#include "datastore/errors.h"

#include <QString>
#include <QStringList>

namespace maint {

// The tables that every data file of this system holds.
const QStringList &systemTables();

// What to say about a file the user chose (a backup to restore, a source to import) that the
// engine refused: the same number as for the data file, in words about the chosen file that
// name it and say what to do.
ds::RunError chosenFileError(const ds::RunError &error, const QString &path);

// Opens a file the user chose, read-only; every refusal is worded by chosenFileError.
ds::Database openChosenFile(const QString &path, const QString &connect);

// Reads every page of the open file (under the cipher this proves each page's code); throws a
// RunError (damaged file) when any is not sound.
void checkEveryPage(ds::Database &db, const QString &path);

// Proves that the file at path is a whole data file of this system: it opens with the data
// file's password, the engine finds no damage (quick check), and it holds the system's
// tables. Opens the file read-only, so the file does not change. Throws a RunError worded
// for a chosen file otherwise.
void checkDataFileCopy(const QString &path);

} // namespace maint
