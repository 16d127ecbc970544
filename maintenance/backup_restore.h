#pragma once

#include "maintenance/restore_copy.h"

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
// through restored what it did.
std::optional<CopyFailure> runCopy(CopyMode mode, const QString &dataFile, const QString &chosenPath,
                                   const QString &keptAs = {}, Restored *restored = nullptr);

// What the user is told once the backup at source was restored, where the replaced data went
// when it was kept, and that a power cut may undo it when its folder could not be synced.
QString restoredMessage(const QString &source, const QString &keptAs, const Restored &restored);

} // namespace maint
