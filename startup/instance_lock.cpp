#include "startup/instance_lock.h"

#include <QDir>
#include <QLockFile>

namespace startup {

InstanceLock::InstanceLock(const QString &lockFilePath)
    : m_lock(std::make_unique<QLockFile>(lockFilePath))
{
    // Never stale by age: a copy that has run for hours still holds the lock. A lock whose
    // process is gone is stale and taken over.
    m_lock->setStaleLockTime(0);
}

InstanceLock::~InstanceLock() = default;

bool InstanceLock::tryAcquire()
{
    return m_lock->isLocked() || m_lock->tryLock(0);
}

QString instanceLockPath(const QString &home)
{
    return QDir(home).filePath(QStringLiteral(".ccdata.lock"));
}

} // namespace startup
