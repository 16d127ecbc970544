#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

namespace maint {

enum class CopyMode { Backup, Restore };

// What a failed copy reports: the error box's number and description.
struct CopyFailure {
    int number = 0;
    QString description;
};

// What the question before a restore tells about the chosen backup.
struct BackupFacts {
    int herbs = 0;
    QDateTime savedAt; // the time its name gives (an automatic backup), else when it was written
    qint64 size = 0;
};

// Proves that path is a whole data file of this system (as a restore does) and reads its facts.
BackupFacts inspectBackup(const QString &path);

// The herbs in a data file, read without the whole check; nullopt when it cannot be read.
std::optional<int> herbCount(const QString &path);

// Backs the data file up to destination: a copy beside the destination is checked with the
// password and the engine's quick check, then renamed over it; an older file of that name
// stays as it was when anything fails. A journal left by a crash is rolled back first.
void backUp(const QString &dataFile, const QString &destination);

// Puts the backup at source in the data file's place. The source is refused unless it is a
// whole data file of this system; the copy goes through a checked temporary file and one
// rename. The replaced data file is first copied to keptAs as it stood (with its journal, rolled
// back in the copy when it can be), and the files a restore keeps are pruned after. The data
// file's journal is moved aside before the rename and removed after, so it can never be rolled
// into the restored file; one that cannot be moved stops the restore with nothing changed.
// Whether a replaced file was kept (there was none to keep when the data file was missing).
bool restore(const QString &source, const QString &dataFile, const QString &keptAs);

// Either of the two by mode; nothing on success, else the failure to report. A restore keeps
// the replaced file at keptAs, or under a new before-restore name when none is given, and says
// through keptReplaced whether it kept one.
std::optional<CopyFailure> runCopy(CopyMode mode, const QString &dataFile, const QString &chosenPath,
                                   const QString &keptAs = {}, bool *keptReplaced = nullptr);

// What the user is told once the backup at source was restored, and where the replaced data went
// when it was kept.
QString restoredMessage(const QString &source, const QString &keptAs, bool keptReplaced);

} // namespace maint
