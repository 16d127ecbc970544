#include "startup/startup_logic.h"

#include "datastore/errors.h"
#include "startup/files/file_replace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

namespace startup {
namespace {

[[noreturn]] void copyFailed(const QString &seed, const QString &target, const QString &why)
{
    throw ds::RunError(ds::ErrorCode::CannotCopyFile,
                       ds::describe(ds::ErrorCode::CannotCopyFile) + QStringLiteral("（%1 → %2：%3）").arg(seed, target, why));
}

// Copies beside the target, syncs the copy, renames it and syncs the folder, so that neither a
// failed copy nor a power cut leaves a partial or empty data file that a later start would take
// for a whole one. A copy whose folder could not be synced is taken back: the next start copies
// again, which loses nothing.
void copySeed(const QString &seed, const QString &target)
{
    // A journal left beside a data file that is gone belongs to that old file: the engine would
    // roll it into the fresh copy at the first open and bring back pages of the old data.
    const QString staleJournal = ds::journalPath(target);
    if (QFileInfo::exists(staleJournal) && !removeFile(staleJournal))
        copyFailed(seed, target, staleJournal);
    if (!QFileInfo(seed).isFile())
        copyFailed(seed, target, QStringLiteral("文件或文件夹不存在"));
    try {
        replaceByCopy(seed, target);
    } catch (const ds::RunError &error) {
        removeFile(target);
        copyFailed(seed, target, error.description());
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
    ensureFolder(paths.dataFolder);
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

bool mendedByRestore(const ds::RunError &refusal)
{
    switch (ds::ErrorCode(refusal.number())) {
    case ds::ErrorCode::NotADatabase:
    case ds::ErrorCode::EmptyFile:
    case ds::ErrorCode::DamagedFile:
    // Start-up always brings the program's own password: a key it cannot prove means a
    // damaged first page or a foreign file in the data file's place.
    case ds::ErrorCode::WrongPassword:
        return true;
    default:
        return false;
    }
}

QString restoreQuestion(const ds::RunError &refusal, const QString &dataFile)
{
    // The damaged file's own description sends the user to a screen; here the question does.
    const QString found = refusal.number() == int(ds::ErrorCode::DamagedFile)
                              ? QStringLiteral("文件中有损坏或者缺少的部分。")
                              : ds::describe(ds::ErrorCode(refusal.number()));
    return QStringLiteral("数据文件已经损坏：%1\r\n发现的问题（错误号码：%2）：%3\r\n程序没有改动这个文件。\r\n\r\n是否现在从备份恢复？")
        .arg(QDir::toNativeSeparators(dataFile))
        .arg(refusal.number())
        .arg(found);
}

QString restoreLaterNotice()
{
    return QStringLiteral("程序将退出，数据文件没有改动，可以以后再恢复。");
}

QString firstUseNotice(FirstUseRoad road)
{
    if (road == FirstUseRoad::PasswordSetup)
        return QStringLiteral("初次使用系统　请先登录系统启动密码内容");
    return QStringLiteral("初次使用系统　请先登录用户资料内容");
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
