#include "maintenance/data_file_check.h"

#include "datastore/data_file.h"
#include "datastore/statement.h"

#include <QFileInfo>

namespace maint {
namespace {

const QString kChooseBackup = QStringLiteral("请选择本系统做的备份文件（.mdb）。");

// The words for a refusal by its number; the file's own words from the engine stay out, since
// they speak of the clinic's data file.
QString chosenFileWords(int number, const QString &path)
{
    switch (ds::ErrorCode(number)) {
    case ds::ErrorCode::FileNotFound:
        return QStringLiteral("找不到所选文件（%1）。").arg(path) + kChooseBackup;
    case ds::ErrorCode::FileCannotBeOpened:
        if (QFileInfo(path).isDir())
            return QStringLiteral("所选的是一个文件夹，不是文件（%1）。").arg(path) + kChooseBackup;
        return QStringLiteral("所选文件不能打开，可能没有读取的权限（%1）。").arg(path) + kChooseBackup;
    case ds::ErrorCode::EmptyFile:
        return QStringLiteral("所选文件是空的（长度为 0），里面没有数据（%1）。").arg(path) + kChooseBackup;
    case ds::ErrorCode::NotADatabase:
        return QStringLiteral("所选文件不是本系统的数据文件，或者已经损坏（%1）。").arg(path) + kChooseBackup;
    case ds::ErrorCode::UnencryptedFile:
        return QStringLiteral("所选文件是未加密的数据库，不是本系统的数据文件（%1）。").arg(path) + kChooseBackup;
    case ds::ErrorCode::WrongPassword:
        return QStringLiteral("所选文件的密码不正确：它不是本系统的数据文件，或者已经损坏（%1）。").arg(path) + kChooseBackup;
    case ds::ErrorCode::DamagedFile:
        return QStringLiteral("所选文件已经损坏或不完整（%1）。").arg(path) + kChooseBackup;
    case ds::ErrorCode::FileReadOnly:
        // A crash inside a transaction leaves its journal beside the file; read-only, the engine
        // cannot roll it back, and the file alone is not what was committed.
        if (ds::journalToRollBack(path))
            return QStringLiteral("所选文件还有未完成的修改（%1），请先用本系统打开它或选择另一个备份。").arg(ds::journalPath(path));
        return QStringLiteral("所选文件不能读取（%1）。").arg(path) + kChooseBackup;
    case ds::ErrorCode::FileInUse:
        return QStringLiteral("所选文件正被其他程序使用（%1），请关闭那个程序后再试，或者选择另一个备份。").arg(path);
    default:
        return {};
    }
}

[[noreturn]] void throwNotOurs(const QString &path, const QString &why)
{
    throw ds::RunError(ds::ErrorCode::NotADatabase,
                       QStringLiteral("所选文件不是本系统的数据文件：%1（%2）。").arg(why, path) + kChooseBackup);
}

} // namespace

const QStringList &systemTables()
{
    static const QStringList tables{
        QStringLiteral("中医药材"), QStringLiteral("药材功效"), QStringLiteral("药材主治"), QStringLiteral("密码表"),
        QStringLiteral("用户资料"), QStringLiteral("系统资料"), QStringLiteral("系统附表"), QStringLiteral("中医方剂"),
    };
    return tables;
}

ds::RunError chosenFileError(const ds::RunError &error, const QString &path)
{
    const QString words = chosenFileWords(error.number(), path);
    return words.isEmpty() ? error : ds::RunError(error.number(), words);
}

ds::Database openChosenFile(const QString &path, const QString &connect)
{
    try {
        return ds::Database::openReadOnly(path, connect);
    } catch (const ds::RunError &error) {
        throw chosenFileError(error, path);
    }
}

void checkEveryPage(ds::Database &db, const QString &path)
{
    QString verdict;
    try {
        ds::Statement check(db.handle(), QStringLiteral("PRAGMA quick_check"));
        if (check.step())
            verdict = check.value(0).toString();
    } catch (const ds::RunError &error) {
        verdict = error.description();
    }
    if (verdict != QLatin1String("ok"))
        throw chosenFileError(ds::RunError(ds::ErrorCode::DamagedFile), path);
}

void checkDataFileCopy(const QString &path)
{
    ds::Database db = openChosenFile(path, ds::kDataFileConnect);
    checkEveryPage(db, path);

    QStringList present;
    ds::Statement list(db.handle(), QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'"));
    while (list.step())
        present.append(list.value(0).toString());
    for (const QString &table : systemTables()) {
        if (!present.contains(table))
            throwNotOurs(path, QStringLiteral("缺少数据表“%1”").arg(table));
    }
}

} // namespace maint
