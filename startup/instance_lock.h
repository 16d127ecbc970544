#pragma once

#include <QString>

#include <memory>

class QLockFile;

namespace startup {

// Keeps a second copy of the program away. The lock is a file whose owner process is checked,
// so a copy that crashed does not block the next start.
class InstanceLock {
public:
    explicit InstanceLock(const QString &lockFilePath);
    ~InstanceLock();
    InstanceLock(const InstanceLock &) = delete;
    InstanceLock &operator=(const InstanceLock &) = delete;

    // True when this process now holds the lock; false when another running copy holds it.
    // Any other failure (no home folder, a folder that cannot be written, something else in
    // the lock file's place) throws RunError with its own number and description.
    bool tryAcquire();

private:
    std::unique_ptr<QLockFile> m_lock;
    QString m_lockPath;
};

// Where the running copy keeps its lock: beside the data folder in the home folder.
QString instanceLockPath(const QString &home);

} // namespace startup
