#include "maintenance/backup_copy.h"

#include "datastore/data_file.h"
#include "datastore/errors.h"
#include "maintenance/backup_files.h"
#include "maintenance/data_file_check.h"
#include "startup/files/file_replace.h"

#include <QFileInfo>

namespace maint {

void settleJournal(const QString &dataFile)
{
    const QFileInfo journal(ds::journalPath(dataFile));
    if (journal.exists() || journal.isSymLink())
        ds::openDataFile(dataFile).close();
}

void backUp(const QString &dataFile, const QString &destination)
{
    if (!QFileInfo::exists(dataFile))
        throw ds::RunError(ds::ErrorCode::FileNotFound, QStringLiteral("系统数据丢失，不能备份。"));
    if (startup::sameFile(dataFile, destination))
        throw ds::RunError(ds::ErrorCode::CannotCopyFile, QStringLiteral("备份文件不能是系统的数据文件本身，请另选名称或路径。"));
    settleJournal(dataFile);
    // The check reads the copy, but what it refuses is the data file: say so, and name it.
    startup::replaceByCopy(dataFile, destination, [&dataFile](const QString &copy) {
        try {
            checkDataFileCopy(copy);
        } catch (const ds::RunError &error) {
            throw ds::RunError(error.number(), QStringLiteral("数据文件（%1）没有备份：%2")
                                                   .arg(dataFile, ds::describe(ds::ErrorCode(error.number()))));
        }
    });
}

QString keepBeforeImport(const QString &dataFile, const QDateTime &now)
{
    startup::ensureFolder(backupsFolder(dataFile));
    const QString kept = newKeptPath(dataFile, KeptKind::BeforeImport, now);
    backUp(dataFile, kept);
    pruneKept(dataFile, KeptKind::BeforeImport, now);
    return kept;
}

} // namespace maint
