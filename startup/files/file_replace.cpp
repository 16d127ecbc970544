#include "startup/files/file_replace.h"

#include "datastore/errors.h"
#include "datastore/kept_connection.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <utility>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace startup {
namespace {

constexpr qint64 kCopyPiece = 64 * 1024;

FileLayer *&layerInUse()
{
    static FileLayer *layer = nullptr;
    return layer;
}

// A file descriptor of the layer that closes itself.
class Fd {
public:
    explicit Fd(int fd)
        : m_fd(fd)
    {
    }
    ~Fd()
    {
        if (m_fd >= 0)
            fileLayer().close(m_fd);
    }
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    int get() const { return m_fd; }
    int release() { return std::exchange(m_fd, -1); }

private:
    int m_fd;
};

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

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
        const ssize_t written = fileLayer().write(fd, data, size_t(size));
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

// A renamed or removed entry is only on the disk once its folder is synced.
void syncFolderOf(const QString &path)
{
    const QString folder = QFileInfo(path).absolutePath();
    Fd handle(fileLayer().open(native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0));
    if (handle.get() < 0 || fileLayer().fsync(handle.get()) != 0)
        throwWriteError(errno, folder);
}

// A new file of our own beside target: target's name, ".tmp-" and six random letters.
std::pair<int, QString> createTempBeside(const QString &target)
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        QString name = QFileInfo(target).absoluteFilePath() + QStringLiteral(".tmp-");
        for (int i = 0; i < 6; ++i)
            name += QLatin1Char(letters[QRandomGenerator::global()->bounded(int(sizeof letters) - 1)]);
        const int fd = fileLayer().open(native(name).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0)
            return {fd, name};
        if (errno != EEXIST)
            break;
    }
    throwWriteError(errno, QFileInfo(target).absolutePath());
}

} // namespace

FileLayer::~FileLayer() = default;

int FileLayer::open(const char *path, int flags, mode_t mode)
{
    return ::open(path, flags, mode);
}

ssize_t FileLayer::read(int fd, void *data, size_t size)
{
    return ::read(fd, data, size);
}

ssize_t FileLayer::write(int fd, const void *data, size_t size)
{
    return ::write(fd, data, size);
}

int FileLayer::fsync(int fd)
{
    return ::fsync(fd);
}

int FileLayer::close(int fd)
{
    return ::close(fd);
}

int FileLayer::rename(const char *from, const char *to)
{
    return ::rename(from, to);
}

int FileLayer::unlink(const char *path)
{
    return ::unlink(path);
}

int FileLayer::mkdir(const char *path, mode_t mode)
{
    return ::mkdir(path, mode);
}

FileLayer &fileLayer()
{
    static FileLayer system;
    return layerInUse() ? *layerInUse() : system;
}

void setFileLayer(FileLayer *layer)
{
    layerInUse() = layer;
}

QString copyToTempBeside(const QString &source, const QString &target)
{
    // The kept connection reads through its own descriptor: closed, it cannot read on in a file
    // replaced under it, and the copy is of the file as the disk holds it.
    ds::closeKeptConnection();
    if (QFileInfo(source).isDir())
        throwReadError(EISDIR, source);
    Fd in(fileLayer().open(native(source).constData(), O_RDONLY | O_CLOEXEC, 0));
    if (in.get() < 0)
        throwReadError(errno, source);

    auto [fd, temp] = createTempBeside(target);
    Fd out(fd);
    QByteArray buffer(kCopyPiece, Qt::Uninitialized);
    try {
        for (;;) {
            const ssize_t got = fileLayer().read(in.get(), buffer.data(), size_t(buffer.size()));
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
        if (fileLayer().fsync(out.get()) != 0)
            throwWriteError(errno, target);
        if (fileLayer().close(out.release()) != 0)
            throwWriteError(errno, target);
    } catch (...) {
        discardTemp(temp);
        throw;
    }
    return temp;
}

void replaceWithTemp(const QString &temp, const QString &target)
{
    ds::closeKeptConnection();
    if (fileLayer().rename(native(temp).constData(), native(target).constData()) != 0) {
        const int error = errno;
        discardTemp(temp);
        throwWriteError(error, target);
    }
    syncFolderOf(target);
}

void replaceByCopy(const QString &source, const QString &target)
{
    replaceByCopy(source, target, [](const QString &) {});
}

void discardTemp(const QString &temp)
{
    fileLayer().unlink(native(temp).constData());
}

void moveFile(const QString &from, const QString &to)
{
    ds::closeKeptConnection();
    if (fileLayer().rename(native(from).constData(), native(to).constData()) != 0)
        throwWriteError(errno, from);
    syncFolderOf(to);
}

bool removeFile(const QString &path)
{
    ds::closeKeptConnection();
    if (fileLayer().unlink(native(path).constData()) != 0)
        return false;
    try {
        syncFolderOf(path);
    } catch (const ds::RunError &) {
        // Gone from the folder now; after a power cut it may come back, which loses nothing.
    }
    return true;
}

void ensureFolder(const QString &folder)
{
    const QString path = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    if (QFileInfo(path).isDir())
        return;
    const QString parent = QFileInfo(path).absolutePath();
    if (parent != path)
        ensureFolder(parent);
    const int error = fileLayer().mkdir(native(path).constData(), 0700) == 0 ? 0 : errno;
    if (!QFileInfo(path).isDir()) {
        const QString why = error != 0 && error != EEXIST ? QStringLiteral("：") + reason(error) : QString();
        throw ds::RunError(ds::ErrorCode::CannotCreateFolder,
                           ds::describe(ds::ErrorCode::CannotCreateFolder) + QStringLiteral("（%1%2）").arg(path, why));
    }
    syncFolderOf(path);
}

bool sameFile(const QString &a, const QString &b)
{
    const QFileInfo first(a);
    const QFileInfo second(b);
    if (first.exists() && second.exists())
        return first.canonicalFilePath() == second.canonicalFilePath();
    return QDir::cleanPath(first.absoluteFilePath()) == QDir::cleanPath(second.absoluteFilePath());
}

} // namespace startup
