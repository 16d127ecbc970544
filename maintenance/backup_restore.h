#pragma once

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

// What the user is told once the backup at source was restored, and where the replaced data went
// when it was kept.
QString restoredMessage(const QString &source, const QString &keptAs, bool keptReplaced);

} // namespace maint
