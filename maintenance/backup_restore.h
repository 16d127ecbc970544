#pragma once

#include "maintenance/backup_facts.h"

#include <QString>

#include <optional>

// What the backup and restore screens run: either copy by its mode (backup_copy.h,
// restore_copy.h), its failure as the error box shows it, and what the user is told once done.
namespace maint {

enum class CopyMode { Backup, Restore };

// What a failed copy reports: the error box's number and description.
struct CopyFailure {
    int number = 0;
    QString description;
};

// Either of the two by mode; nothing on success, else the failure to report. A restore keeps
// the replaced file at keptAs, or under a new before-restore name when none is given, and says
// through keptReplaced whether it kept one.
std::optional<CopyFailure> runCopy(CopyMode mode, const QString &dataFile, const QString &chosenPath,
                                   const QString &keptAs = {}, bool *keptReplaced = nullptr);

// What a restore puts aside: the data file in use, or the damaged one the recovery window replaces.
enum class Replaced { DataFile, Damaged };

// The question before a restore (…继续吗？): the backup, its time and herbs, where the replaced
// file goes, and whose data the backup is when its clinic or its users are not ours (ours
// nullopt: not known, as for a damaged data file), since its login is the one that works after.
QString beforeRestoreQuestion(const QString &backup, const BackupFacts &facts, const QString &keptAs, Replaced replaced,
                              const std::optional<DataOwner> &ours);

// What the user is told once the backup at source was restored, and where the replaced data went
// when it was kept.
QString restoredMessage(const QString &source, const QString &keptAs, bool keptReplaced);

} // namespace maint
