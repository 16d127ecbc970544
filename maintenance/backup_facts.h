#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

namespace maint {

// Whose data a data file holds: its clinic's name and the user names its login accepts. A
// restore brings the backup's, so the question before it names them when they are not ours.
struct DataOwner {
    QString clinic;
    QStringList logins;
    bool operator==(const DataOwner &) const = default;
};

// What the question before a restore tells about the chosen backup.
struct BackupFacts {
    int herbs = 0;
    QDateTime savedAt; // the time its name gives (an automatic backup), else when it was written
    qint64 size = 0;
    DataOwner owner;
};

// Proves that path is a whole data file of this system (as a restore does) and reads its facts.
BackupFacts inspectBackup(const QString &path);

// The herbs in a data file, read without the whole check; nullopt when it cannot be read.
std::optional<int> herbCount(const QString &path);

// The owner of a data file, read without the whole check; nullopt when it cannot be read.
std::optional<DataOwner> dataOwner(const QString &path);

// What a restore puts aside: the data file in use, or the damaged one the recovery window replaces.
enum class Replaced { DataFile, Damaged };

// The question before a restore (…继续吗？): the backup, its time and herbs, where the replaced
// file goes, and whose data the backup is when its clinic or its users are not ours (ours
// nullopt: not known, as for a damaged data file), since its login is the one that works after.
QString beforeRestoreQuestion(const QString &backup, const BackupFacts &facts, const QString &keptAs, Replaced replaced,
                              const std::optional<DataOwner> &ours);

} // namespace maint
