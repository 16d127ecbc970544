#pragma once

#include "datastore/data_file.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace reliability {

// What a state of the data file is made of, for one operation.
struct StateRules {
    // "table.column" values that differ on every run (a salted hash) are left out; the other
    // columns of the row still tell the old row from the new one.
    QStringList maskedColumns;
    // The stored queries are scratch: they are compared only for operations that write them.
    bool queriesWritten = false;
};

// A fingerprint of every table and index and every row of every table in rowid order.
QByteArray stateOf(ds::Database &db, const StateRules &rules);

// "name: text" of every stored query, in name order.
QStringList queriesOf(ds::Database &db);

// What PRAGMA integrity_check says; "ok" for a sound file.
QString integrityOf(ds::Database &db);

// Opens the file the way the program does (rolling back a journal left beside it) and reads
// its integrity and state. A file that cannot be opened gives the error as its integrity.
struct FileCheck {
    QString integrity;
    QByteArray state;
    QStringList queries;
};
FileCheck checkFile(const QString &path, const StateRules &rules);

// Runs the start-up of the program, without its windows, on the data file of paths: the
// cipher check, the data file check, the open check and the first-use check, then a count of
// the herbs. Empty when all went as for a clinic in daily use; else what went wrong.
QString nextStartProblem(const ds::DataPaths &paths);

// A copy of the seed with a user and the clinic's details, as a clinic in daily use holds it.
void makeDailyFile(const QString &path);

// A journal beside the file that the next open must roll back: one the engine has begun to
// rely on (its header written after the first sync). An unsynced one is left and ignored.
bool hotJournalBeside(const QString &path);

// Copies a data file with the journal beside it, if any.
bool copyFile(const QString &from, const QString &to);

} // namespace reliability
