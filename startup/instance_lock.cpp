#include "startup/instance_lock.h"

#include "datastore/errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace startup {
namespace {

// A running copy holds a lock on its lock file for as long as it runs; the lock goes with the
// process, however it ends.
bool heldByARunningCopy(const QString &lockPath)
{
    const int handle = ::open(QFile::encodeName(lockPath).constData(), O_RDONLY | O_CLOEXEC);
    if (handle < 0)
        return false;
    const bool held = ::flock(handle, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(handle);
    return held;
}

} // namespace

InstanceLock::InstanceLock(const QString &lockFilePath)
    : m_lock(std::make_unique<QLockFile>(lockFilePath))
    , m_lockPath(lockFilePath)
{
    // Never stale by age: a copy that has run for hours still holds the lock. A lock whose
    // process is gone is stale and taken over.
    m_lock->setStaleLockTime(0);
}

InstanceLock::~InstanceLock() = default;

bool InstanceLock::tryAcquire()
{
    if (m_lock->isLocked() || m_lock->tryLock(0))
        return true;
    // Only a lock file naming a process that still runs is another copy of the program.
    qint64 pid = 0;
    QString host;
    QString application;
    if (m_lock->error() == QLockFile::LockFailedError) {
        if (m_lock->getLockInfo(&pid, &host, &application))
            return false;
        // A lock file naming no owner (left empty by a power cut, say) is stale unless a
        // running copy still holds it.
        if (heldByARunningCopy(m_lockPath))
            return false;
        if (m_lock->removeStaleLockFile() && m_lock->tryLock(0))
            return true;
    }
    const QString path = QDir::toNativeSeparators(QFileInfo(m_lockPath).absoluteFilePath());
    const QString folder = QFileInfo(m_lockPath).absolutePath();
    const QString reason = !QFileInfo(folder).isDir() ? QStringLiteral("文件夹 %1 不存在").arg(folder)
                                                      : QStringLiteral("锁文件 %1 不能建立").arg(path);
    throw ds::RunError(ds::ErrorCode::CannotWriteFile,
                       ds::describe(ds::ErrorCode::CannotWriteFile) + QStringLiteral("（%1）").arg(reason));
}

QString instanceLockPath(const QString &home)
{
    return QDir(home).filePath(QStringLiteral(".ccdata.lock"));
}

} // namespace startup
