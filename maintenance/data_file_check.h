#pragma once

#include <QString>
#include <QStringList>

namespace maint {

// The tables that every data file of this system holds.
const QStringList &systemTables();

// Proves that the file at path is a whole data file of this system: it opens with the data
// file's password, the engine finds no damage (quick check), and it holds the system's
// tables. Opens the file read-only, so the file does not change. Throws a RunError whose
// description names the reason otherwise.
void checkDataFileCopy(const QString &path);

} // namespace maint
