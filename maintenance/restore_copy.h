#pragma once

#include <QString>

namespace maint {

// What a restore did.
struct Restored {
    bool keptReplaced = false; // false when there was no data file to keep
    // Why the folder could not be synced after the restored file was renamed into it, so a power
    // cut soon after may bring the replaced file back; empty when it was synced.
    QString unsynced;
};

// Puts the backup at source in the data file's place. The source is refused unless it is a
// whole data file of this system; the copy goes through a checked temporary file and one
// rename. The replaced data file is first copied to keptAs as it stood (with its journal, rolled
// back in the copy when it can be), and the files a restore keeps are pruned after. The data
// file's journal is moved aside before the rename and removed after, so it can never be rolled
// into the restored file; one that cannot be moved stops the restore with nothing changed.
// Once the rename is made the restore is done, even when the folder cannot be synced after it.
Restored restore(const QString &source, const QString &dataFile, const QString &keptAs);

} // namespace maint
