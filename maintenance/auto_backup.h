#pragma once

#include <QDateTime>
#include <QString>

namespace maint {

// Makes an automatic backup of the data file in the backups folder (ccyc-2026-12-07-1830.mdb),
// by the same checked copy as a backup the user asks for, unless one there holds the data file
// as it stands (nothing changed since); then prunes the older ones, never before the new one is
// checked. The path made, or the empty text when none was needed. Throws a RunError on failure.
QString autoBackUp(const QString &dataFile, const QDateTime &now);

// The same at the end of a session, where a failure must not keep the program from ending: it
// is written to the backup log beside the data file and shown once at the next start.
void autoBackUpAtExit(const QString &dataFile, const QDateTime &now);

} // namespace maint
