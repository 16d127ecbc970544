#include "maintenance/backup_restore.h"

#include "datastore/data_file.h"
#include "datastore/errors.h"
#include "maintenance/data_file_check.h"
#include "maintenance/file_copy.h"

#include <QFile>
#include <QFileInfo>

namespace maint {
namespace {

QString journalOf(const QString &dataFile)
{
    return dataFile + QStringLiteral("-journal");
}

bool sameFile(const QString &a, const QString &b)
{
    const QFileInfo first(a);
    const QFileInfo second(b);
    if (first.exists() && second.exists())
        return first.canonicalFilePath() == second.canonicalFilePath();
    return first.absoluteFilePath() == second.absoluteFilePath();
}

// After a crash the data file alone is not the data: the engine rolls its journal back when
// the file is next opened, so the copy is taken after one open.
void settleJournal(const QString &dataFile)
{
    if (QFileInfo::exists(journalOf(dataFile)))
        ds::openDataFile(dataFile).close();
}

// Copies source to a checked temporary file beside target and renames it over target.
void copyChecked(const QString &source, const QString &target)
{
    const QString temp = copyToTempBeside(source, target);
    try {
        checkDataFileCopy(temp);
    } catch (...) {
        discardTemp(temp);
        throw;
    }
    replaceWithTemp(temp, target);
}

} // namespace

QString replacedCopyPath(const QString &dataFile)
{
    return dataFile + QStringLiteral(".bak");
}

void backUp(const QString &dataFile, const QString &destination)
{
    if (!QFileInfo::exists(dataFile))
        throw ds::RunError(ds::ErrorCode::FileNotFound, QStringLiteral("系统数据丢失，不能备份。"));
    if (sameFile(dataFile, destination))
        throw ds::RunError(ds::ErrorCode::CannotCopyFile, QStringLiteral("备份文件不能是系统的数据文件本身，请另选名称或路径。"));
    settleJournal(dataFile);
    copyChecked(dataFile, destination);
}

void restore(const QString &source, const QString &dataFile)
{
    if (sameFile(source, dataFile))
        throw ds::RunError(ds::ErrorCode::CannotCopyFile, QStringLiteral("所选文件就是系统的数据文件本身，不需要恢复。"));
    checkDataFileCopy(source);
    const QString restored = copyToTempBeside(source, dataFile);
    try {
        checkDataFileCopy(restored);
        if (QFileInfo::exists(dataFile)) {
            try {
                settleJournal(dataFile);
            } catch (const ds::RunError &) {
                // A damaged data file is what a restore is for: it is kept as it stands.
            }
            // Kept as it stands, damaged or not: it may still hold what the backup lacks.
            replaceWithTemp(copyToTempBeside(dataFile, replacedCopyPath(dataFile)), replacedCopyPath(dataFile));
        }
    } catch (...) {
        discardTemp(restored);
        throw;
    }
    replaceWithTemp(restored, dataFile);
    // Only now: a journal removed earlier could not be rolled into the old file either way,
    // but one left now would be rolled into the restored file at the next open.
    QFile::remove(journalOf(dataFile));
}

std::optional<CopyFailure> runCopy(CopyMode mode, const QString &dataFile, const QString &chosenPath)
{
    try {
        if (mode == CopyMode::Backup)
            backUp(dataFile, chosenPath);
        else
            restore(chosenPath, dataFile);
    } catch (const ds::RunError &error) {
        return CopyFailure{error.number(), error.description()};
    }
    return std::nullopt;
}

} // namespace maint
