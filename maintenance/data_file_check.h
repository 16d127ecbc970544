#pragma once

#include "datastore/database.h"

#include <QString>
#include <QStringList>

namespace maint {

// The tables that every data file of this system holds.
const QStringList &systemTables();

// Opens a file the user chose, read-only; a damaged one is refused in words about that file.
ds::Database openChosenFile(const QString &path, const QString &connect);

// Reads every page of the open file (under the cipher this proves each page's code); throws a
// RunError (damaged file) when any is not sound.
void checkEveryPage(ds::Database &db, const QString &path);

// Proves that the file at path is a whole data file of this system: it opens with the data
// file's password, the engine finds no damage (quick check), and it holds the system's
// tables. Opens the file read-only, so the file does not change. Throws a RunError whose
// description names the reason otherwise.
void checkDataFileCopy(const QString &path);

} // namespace maint
