#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

// The files the program keeps by itself in the backups folder beside the data file
// (~/ccdata/backups): its automatic backups, the data files a restore replaced or an import
// changed, and damaged
// data files the recovery window put aside. Each is named by the minute it was saved.
namespace maint {

enum class KeptKind {
    Automatic,     // ccyc-2026-12-07-1830.mdb
    BeforeRestore, // ccyc-before-restore-2026-12-07-1830.mdb
    BeforeImport,  // ccyc-before-import-2026-12-07-1830.mdb, kept as the restore copies are
    Damaged        // ccyc-damaged-2026-12-07-1830.mdb, never removed
};

struct KeptFile {
    QString path;
    QDateTime savedAt; // from the name, to the minute
    int sequence = 1;  // the second file of one minute is "-2", and so on
};

QString backupsFolder(const QString &dataFile);

// The files of that kind in the backups folder, newest first.
QList<KeptFile> keptFiles(const QString &dataFile, KeptKind kind);

// Where a new file of that kind saved at `at` goes: a name no file (nor its journal) has yet.
QString newKeptPath(const QString &dataFile, KeptKind kind, const QDateTime &at);

// The kind and time a kept file's name gives; false for any other name.
bool parseKeptName(const QString &path, KeptKind *kind, KeptFile *file);

// Which of the files of that kind the rule gives up at `now`, newest first: it keeps the newest
// file of each of the 7 newest days that have one and the newest of each of the last 4 weeks
// (seven days back from now each); of automatic backups also today's newest 3 (once the day is
// over its newest stands for it alone), of before-restore copies the newest 3 whatever their
// days. A file named in the future (a clock once set ahead) counts as made now, after every
// file that really was: it never pushes today's out.
QList<KeptFile> filesToPrune(const QList<KeptFile> &files, const QDateTime &now, KeptKind kind);

// Removes what the rule gives up for that kind (damaged files are never removed), each with a
// journal beside it; a file that cannot be removed is left for the next time.
void pruneKept(const QString &dataFile, KeptKind kind, const QDateTime &now);

} // namespace maint
