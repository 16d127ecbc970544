#include "maintenance/file_copy.h"

#include "datastore/errors.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <fcntl.h>
#include <unistd.h>

namespace maint {
namespace {

constexpr qint64 kCopyPiece = 64 * 1024;

// A file descriptor that closes itself.
class Fd {
public:
    explicit Fd(int fd)
        : m_fd(fd)
    {
    }
    ~Fd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    int get() const { return m_fd; }
    int release() { return std::exchange(m_fd, -1); }

private:
    int m_fd;
};

// The reason in words a clinic's staff can act on; the system's own words for the rare rest.
QString reason(int error)
{
    switch (error) {
    case ENOENT:
        return QStringLiteral("文件或文件夹不存在");
    case EISDIR:
        return QStringLiteral("那里已经有一个同名的文件夹");
    case EACCES:
    case EPERM:
        return QStringLiteral("没有写入权限");
    case EROFS:
        return QStringLiteral("磁盘是只读的");
    case ENOSPC:
    case EFBIG:
    case EDQUOT:
        return QStringLiteral("磁盘空间不足");
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

[[noreturn]] void throwWriteError(int error, const QString &path)
{
    const ds::ErrorCode code = error == ENOSPC || error == EFBIG || error == EDQUOT ? ds::ErrorCode::DiskFull
                                                                                   : ds::ErrorCode::CannotWriteFile;
    throw ds::RunError(code, ds::describe(code) + QStringLiteral("（%1：%2）").arg(path, reason(error)));
}

[[noreturn]] void throwReadError(int error, const QString &path)
{
    const ds::ErrorCode code = error == ENOENT ? ds::ErrorCode::FileNotFound : ds::ErrorCode::CannotCopyFile;
    throw ds::RunError(code, ds::describe(code) + QStringLiteral("（%1：%2）").arg(path, reason(error)));
}

bool writeAll(int fd, const char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size_t(size));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

void syncFolderOf(const QString &path)
{
    // The rename itself is only durable once the folder's entry is on the disk.
    Fd folder(::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() >= 0)
        ::fsync(folder.get());
}

} // namespace

QString copyToTempBeside(const QString &source, const QString &target)
{
    Fd in(::open(QFile::encodeName(source).constData(), O_RDONLY | O_CLOEXEC));
    if (in.get() < 0)
        throwReadError(errno, source);

    QByteArray pattern = QFile::encodeName(QFileInfo(target).absoluteFilePath()) + ".tmp-XXXXXX";
    Fd out(::mkostemp(pattern.data(), O_CLOEXEC));
    if (out.get() < 0)
        throwWriteError(errno, QFileInfo(target).absolutePath());
    const QString temp = QFile::decodeName(pattern);

    QByteArray buffer(kCopyPiece, Qt::Uninitialized);
    try {
        for (;;) {
            const ssize_t got = ::read(in.get(), buffer.data(), size_t(buffer.size()));
            if (got < 0) {
                if (errno == EINTR)
                    continue;
                throwReadError(errno, source);
            }
            if (got == 0)
                break;
            if (!writeAll(out.get(), buffer.constData(), got))
                throwWriteError(errno, target);
        }
        if (::fsync(out.get()) != 0)
            throwWriteError(errno, target);
        if (::close(out.release()) != 0)
            throwWriteError(errno, target);
    } catch (...) {
        ::unlink(pattern.constData());
        throw;
    }
    return temp;
}

void replaceWithTemp(const QString &temp, const QString &target)
{
    if (::rename(QFile::encodeName(temp).constData(), QFile::encodeName(target).constData()) != 0) {
        const int error = errno;
        discardTemp(temp);
        throwWriteError(error, target);
    }
    syncFolderOf(target);
}

void discardTemp(const QString &temp)
{
    ::unlink(QFile::encodeName(temp).constData());
}

} // namespace maint
