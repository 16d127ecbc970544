#include "startup/startup_logic.h"

#include "datastore/errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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
