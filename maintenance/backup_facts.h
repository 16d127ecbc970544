#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

namespace maint {

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

} // namespace maint
