#pragma once

#include <QDateTime>
#include <QString>

namespace maint {

// After a crash the data file alone is not the data: the engine rolls the journal left beside
// it back at the file's next open, so a copy is taken after one open. Throws a RunError when
// the journal cannot be rolled back.
void settleJournal(const QString &dataFile);

// Backs the data file up to destination: a copy beside the destination is checked with the
// password and the engine's quick check, then renamed over it; an older file of that name
// stays as it was when anything fails. A journal left by a crash is rolled back first.
void backUp(const QString &dataFile, const QString &destination);

// Keeps the data file as it stands before an import writes over stored texts, as
// backups/ccyc-before-import-<date-time>.mdb, by the checked copy above; those copies are pruned
// as the ones a restore keeps. The path kept.
QString keepBeforeImport(const QString &dataFile, const QDateTime &now);

} // namespace maint
