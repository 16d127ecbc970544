#include "startup/startup_logic.h"

#include "datastore/errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

namespace startup {
namespace {

// Copies beside the target first and renames, so that a failed copy never leaves a partial
// data file that a later start would take for a whole one.
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
    if (!QFile::copy(seed, partial) || !QFile::rename(partial, target)) {
        QFile::remove(partial);
        throw ds::RunError(ds::ErrorCode::CannotCopyFile,
                           ds::describe(ds::ErrorCode::CannotCopyFile) + QStringLiteral("（%1 → %2）").arg(seed, target));
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
