#include "maintenance/data_file_check.h"

#include "datastore/data_file.h"
#include "datastore/errors.h"
#include "datastore/statement.h"

namespace maint {
namespace {

[[noreturn]] void throwNotOurs(const QString &path, const QString &why)
{
    throw ds::RunError(ds::ErrorCode::NotADatabase, QStringLiteral("这个文件不是本系统完好的数据文件：%1（%2）").arg(why, path));
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

void checkDataFileCopy(const QString &path)
{
    ds::Database db = ds::Database::openReadOnly(path, ds::kDataFileConnect);
    QString verdict;
    try {
        ds::Statement check(db.handle(), QStringLiteral("PRAGMA quick_check"));
        if (check.step())
            verdict = check.value(0).toString();
    } catch (const ds::RunError &error) {
        verdict = error.description();
    }
    if (verdict != QLatin1String("ok"))
        throwNotOurs(path, QStringLiteral("文件已经损坏或不完整"));

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
