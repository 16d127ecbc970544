#include "power_cut_layer.h"

#include "power_cut.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace reliability {
namespace {

// The model to report to; null when no cut is simulated. A dead machine answers nothing.
PowerCut *modelFor(bool *dead)
{
    PowerCut *cut = activePowerCut();
    *dead = cut && !cut->powered();
    if (*dead)
        errno = EIO;
    return cut;
}

bool present(const char *path)
{
    struct stat info {};
    return ::lstat(path, &info) == 0;
}

} // namespace

PowerCutFileLayer::PowerCutFileLayer()
{
    startup::setFileLayer(this);
}

PowerCutFileLayer::~PowerCutFileLayer()
{
    startup::setFileLayer(nullptr);
}

int PowerCutFileLayer::open(const char *path, int flags, mode_t mode)
{
    bool dead = false;
    PowerCut *cut = modelFor(&dead);
    if (dead)
        return -1;
    const bool creates = cut && (flags & O_CREAT) && !present(path);
    int file = -1;
    if (creates)
        file = cut->created(path);
    else if (cut && (flags & O_TRUNC))
        cut->truncated(file = cut->fileAt(path), 0);
    const int fd = FileLayer::open(path, flags, mode);
    if (fd < 0) {
        const int error = errno;
        if (creates)
            cut->removed(path); // never made: the model forgets it
        errno = error;
        return fd;
    }
    m_opened[fd] = {path, (flags & O_DIRECTORY) != 0, file};
    return fd;
}

ssize_t PowerCutFileLayer::read(int fd, void *data, size_t size)
{
    bool dead = false;
    modelFor(&dead);
    return dead ? -1 : FileLayer::read(fd, data, size);
}

ssize_t PowerCutFileLayer::write(int fd, const void *data, size_t size)
{
    bool dead = false;
    PowerCut *cut = modelFor(&dead);
    if (dead)
        return -1;
    if (cut) {
        const off_t at = ::lseek(fd, 0, SEEK_CUR);
        cut->wrote(handleOf(*cut, fd), at, static_cast<const char *>(data), static_cast<long long>(size));
    }
    return FileLayer::write(fd, data, size);
}

int PowerCutFileLayer::fsync(int fd)
{
    bool dead = false;
    PowerCut *cut = modelFor(&dead);
    if (dead)
        return -1;
    if (!cut)
        return FileLayer::fsync(fd);
    if (m_opened[fd].folder ? cut->folderSynced(m_opened[fd].path) : cut->synced(handleOf(*cut, fd)))
        return 0;
    errno = EIO; // the power went off at this sync: it did not take effect
    return -1;
}

// A handle is let go even on a dead machine, so the test holds no descriptor afterwards.
int PowerCutFileLayer::close(int fd)
{
    m_opened.erase(fd);
    return FileLayer::close(fd);
}

int PowerCutFileLayer::rename(const char *from, const char *to)
{
    bool dead = false;
    PowerCut *cut = modelFor(&dead);
    if (dead)
        return -1;
    if (cut && present(from))
        cut->renamed(from, to);
    return FileLayer::rename(from, to);
}

int PowerCutFileLayer::unlink(const char *path)
{
    bool dead = false;
    PowerCut *cut = modelFor(&dead);
    if (dead)
        return -1;
    if (cut && present(path))
        cut->removed(path);
    return FileLayer::unlink(path);
}

// A folder made is durable once the folder holding it is synced.
int PowerCutFileLayer::mkdir(const char *path, mode_t mode)
{
    bool dead = false;
    PowerCut *cut = modelFor(&dead);
    if (dead)
        return -1;
    const int made = FileLayer::mkdir(path, mode);
    if (made == 0 && cut)
        cut->madeFolder(path);
    return made;
}

int PowerCutFileLayer::handleOf(PowerCut &cut, int fd)
{
    Opened &opened = m_opened[fd];
    if (opened.file < 0)
        opened.file = cut.fileAt(opened.path);
    return opened.file;
}

} // namespace reliability
