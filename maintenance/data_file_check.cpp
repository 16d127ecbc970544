#include "maintenance/data_file_check.h"

#include "datastore/data_file.h"
#include "datastore/errors.h"
#include "datastore/statement.h"

namespace maint {
namespace {

QString notOurs(const QString &path, const QString &why)
{
    return QStringLiteral("这个文件不是本系统完好的数据文件：%1（%2）").arg(why, path);
}

[[noreturn]] void throwNotOurs(const QString &path, const QString &why)
{
    throw ds::RunError(ds::ErrorCode::NotADatabase, notOurs(path, why));
}

[[noreturn]] void throwDamaged(const QString &path)
{
    throw ds::RunError(ds::ErrorCode::DamagedFile, notOurs(path, QStringLiteral("文件已经损坏或不完整")));
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

ds::Database openChosenFile(const QString &path, const QString &connect)
{
    try {
        return ds::Database::openReadOnly(path, connect);
    } catch (const ds::RunError &error) {
        // The data file's own wording sends the user to a restore; this file is one they chose.
        if (error.number() == int(ds::ErrorCode::DamagedFile))
            throwDamaged(path);
        throw;
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
        throwDamaged(path);
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
