#include "startup/startup_logic.h"

#include "datastore/errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <fcntl.h>
#include <unistd.h>

namespace startup {
namespace {

FileSync &fileSync()
{
    static FileSync current;
    return current;
}

bool syncHandle(int handle)
{
    return fileSync() ? fileSync()(handle) : ::fsync(handle) == 0;
}

// The folder's entry for a renamed file is only safe on disk once the folder itself is synced.
bool syncFolder(const QString &folder)
{
    const int handle = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (handle < 0)
        return false;
    const bool synced = syncHandle(handle);
    ::close(handle);
    return synced;
}

// Writes the whole seed to `copy` and syncs it; false on any failure part-way.
bool writeSyncedCopy(const QString &seed, const QString &copy)
{
    QFile from(seed);
    QFile to(copy);
    if (!from.open(QIODevice::ReadOnly) || !to.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        return false;
    char buffer[64 * 1024];
    for (;;) {
        const qint64 read = from.read(buffer, sizeof buffer);
        if (read < 0)
            return false;
        if (read == 0)
            break;
        if (to.write(buffer, read) != read)
            return false;
    }
    return syncHandle(to.handle());
}

[[noreturn]] void copyFailed(const QString &seed, const QString &target)
{
    throw ds::RunError(ds::ErrorCode::CannotCopyFile,
                       ds::describe(ds::ErrorCode::CannotCopyFile) + QStringLiteral("（%1 → %2）").arg(seed, target));
}

// Copies beside the target first, syncs the copy and renames it, then syncs the folder, so
// that neither a failed copy nor a power cut leaves a partial or empty data file that a later
// start would take for a whole one.
void copySeed(const QString &seed, const QString &target)
{
    const QString partial = target + QStringLiteral(".partial");
    QFile::remove(partial);
    // A journal left beside a data file that is gone belongs to that old file: the engine would
    // roll it into the fresh copy at the first open and bring back pages of the old data.
    const QString staleJournal = target + QStringLiteral("-journal");
    if (QFileInfo::exists(staleJournal) && !QFile::remove(staleJournal)) {
        throw ds::RunError(ds::ErrorCode::CannotCopyFile,
                           ds::describe(ds::ErrorCode::CannotCopyFile) + QStringLiteral("（%1）").arg(staleJournal));
    }
    if (!QFileInfo(seed).isFile() || !writeSyncedCopy(seed, partial) || !QFile::rename(partial, target)) {
        QFile::remove(partial);
        copyFailed(seed, target);
    }
    if (!syncFolder(QFileInfo(target).absolutePath())) {
        QFile::remove(target);
        copyFailed(seed, target);
    }
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
}

// The program writes the data file and, beside it, the engine's journal: a file or folder that
// cannot be written would fail only at the first save, after a record was typed.
void requireWritable(const QString &dataFile)
{
    QFile file(dataFile);
    if (!file.open(QIODevice::ReadWrite))
        throw ds::RunError(ds::ErrorCode::FileReadOnly,
                           ds::describe(ds::ErrorCode::FileReadOnly) + QStringLiteral("（%1）").arg(dataFile));
    const QString folder = QFileInfo(dataFile).absolutePath();
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".ccyc-write-check-XXXXXX")));
    if (!probe.open())
        throw ds::RunError(ds::ErrorCode::CannotWriteFile,
                           ds::describe(ds::ErrorCode::CannotWriteFile) + QStringLiteral("（%1）").arg(folder));
}

bool firstQueryIsEmpty(ds::Database &db, const QString &name, const QString &sql)
{
    db.createQuery(name, sql);
    const ds::Dynaset result = db.openDynaset(name);
    return ds::isEmptyResult(result);
}

} // namespace

void setFileSync(FileSync sync)
{
    fileSync() = std::move(sync);
}

DataFileState ensureDataFile(const ds::DataPaths &paths)
{
    if (!QFileInfo(paths.dataFolder).isDir() && !QDir().mkpath(paths.dataFolder))
        throw ds::RunError(ds::ErrorCode::CannotCreateFolder,
                           ds::describe(ds::ErrorCode::CannotCreateFolder) + QStringLiteral("（%1）").arg(paths.dataFolder));
    if (QFileInfo::exists(paths.dataFile))
        return DataFileState::Ready;
    if (!QFileInfo::exists(paths.seedFile))
        return DataFileState::DataLost;
    copySeed(paths.seedFile, paths.dataFile);
    return DataFileState::Ready;
}

void requireCipher(const QString &cipherVersion)
{
    if (cipherVersion.trimmed().isEmpty())
        throw ds::RunError(ds::ErrorCode::NoCipher);
}

void openCheck(const QString &dataFile)
{
    // Every page is read before anything is written: a damaged page found by the first save
    // would come after the start-up had already written into the file.
    ds::Database::checkWholeFile(dataFile, ds::kDataFileConnect);
    requireWritable(dataFile);
    ds::openDataFile(dataFile).close();
}

FirstUseRoad checkFirstUse(const QString &dataFile)
{
    ds::Database db = ds::openDataFile(dataFile);
    db.purgeQueries();
    if (firstQueryIsEmpty(db, QStringLiteral("000"), QStringLiteral("SELECT * FROM 密码表")))
        return FirstUseRoad::PasswordSetup;
    if (firstQueryIsEmpty(db, QStringLiteral("001"), QStringLiteral("SELECT * FROM 用户资料")))
        return FirstUseRoad::ClinicSetup;
    return FirstUseRoad::Normal;
}

} // namespace startup
