#pragma once

#include <QString>

#include <sys/types.h>

// The one way the program replaces a whole file: copy beside the target, sync the copy,
// rename it over the target, sync the folder. The seed copy, backup, restore, the automatic
// backups and the recovery window all go through here, and each step first closes the data
// file's kept connection, which opens afresh at the next operation.
namespace startup {

// The system calls the routine makes. A test puts a layer of its own in front, to fail a call
// (a full disk) or to see every write, sync, rename and unlink (what a power cut would lose).
// Each answers as the system call does: -1 with errno set on failure.
class FileLayer {
public:
    virtual ~FileLayer();
    virtual int open(const char *path, int flags, mode_t mode);
    virtual ssize_t read(int fd, void *data, size_t size);
    virtual ssize_t write(int fd, const void *data, size_t size);
    virtual int fsync(int fd);
    virtual int close(int fd);
    virtual int rename(const char *from, const char *to);
    virtual int unlink(const char *path);
    virtual int mkdir(const char *path, mode_t mode);
};

// The layer in use: the system's own unless a test has set one (not owned; nullptr brings the
// system's own back).
FileLayer &fileLayer();
void setFileLayer(FileLayer *layer);

// Copies source into a new temporary file in the folder of target and syncs it; the temporary
// file's path. On any failure nothing is left behind and a RunError names the file that could
// not be read or written (a full disk as DiskFull).
QString copyToTempBeside(const QString &source, const QString &target);

// Renames a finished temporary file over target and syncs the folder, so target is the old
// file or the new one, never half of each. A failed rename removes the temporary file and
// leaves target as it was; a failed folder sync throws with the new file in place.
void replaceWithTemp(const QString &temp, const QString &target);

// copyToTempBeside, check (which throws to refuse the copy), replaceWithTemp.
template <typename Check>
void replaceByCopy(const QString &source, const QString &target, Check check);
void replaceByCopy(const QString &source, const QString &target);

// Removes a temporary file that is no longer wanted.
void discardTemp(const QString &temp);

// Renames a file within its folder and syncs the folder; throws a RunError when it cannot.
void moveFile(const QString &from, const QString &to);

// Removes a file and syncs its folder; false when it could not be removed.
bool removeFile(const QString &path);

// Makes the folder (and those above it) when missing; throws CannotCreateFolder.
void ensureFolder(const QString &folder);

// Whether two paths name one file (a link or another spelling included).
bool sameFile(const QString &a, const QString &b);

template <typename Check>
void replaceByCopy(const QString &source, const QString &target, Check check)
{
    const QString temp = copyToTempBeside(source, target);
    try {
        check(temp);
    } catch (...) {
        discardTemp(temp);
        throw;
    }
    replaceWithTemp(temp, target);
}

} // namespace startup
