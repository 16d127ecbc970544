#include "maintenance/backup_facts.h"

#include "datastore/data_file.h"
#include "datastore/errors.h"
#include "maintenance/backup_files.h"
#include "maintenance/data_file_check.h"

#include <QDir>
#include <QFileInfo>

namespace maint {
namespace {

int countHerbs(ds::Database &db)
{
    return db.openDynaset(QStringLiteral("SELECT count(*) FROM 中医药材")).field(0).toInt();
}

// The non-blank texts of a table's first column, trimmed.
QStringList texts(ds::Database &db, const QString &sql)
{
    QStringList found;
    ds::Dynaset rows = db.openDynaset(sql);
    for (rows.moveFirst(); !rows.eof(); rows.moveNext()) {
        const QString text = rows.text(0).trimmed();
        if (!text.isEmpty())
            found.append(text);
    }
    return found;
}

DataOwner readOwner(ds::Database &db)
{
    return {texts(db, QStringLiteral("SELECT 单位 FROM 用户资料")).value(0), texts(db, QStringLiteral("SELECT 姓名 FROM 密码表"))};
}

QString ownerLine(const DataOwner &theirs, const std::optional<DataOwner> &ours)
{
    const QString logins = theirs.logins.join(QChar(0x3001));
    if (!theirs.clinic.isEmpty() && (!ours || ours->clinic != theirs.clinic)) {
        const QString line = QStringLiteral("这个备份是“%1”的数据，恢复后要用它的用户名和密码登录。").arg(theirs.clinic);
        return logins.isEmpty() ? line : line + QStringLiteral("它的用户名是“%1”。").arg(logins);
    }
    if (!ours || ours->logins == theirs.logins)
        return {};
    if (logins.isEmpty())
        return QStringLiteral("这个备份还没有设置用户名和密码，恢复后要重新设置。");
    return QStringLiteral("这个备份的用户名是“%1”，恢复后要用它的用户名和密码登录。").arg(logins);
}

} // namespace

std::optional<int> herbCount(const QString &path)
{
    try {
        ds::Database db = ds::Database::openReadOnly(path, ds::kDataFileConnect);
        return countHerbs(db);
    } catch (const ds::RunError &) {
        return std::nullopt;
    }
}

std::optional<DataOwner> dataOwner(const QString &path)
{
    try {
        ds::Database db = ds::Database::openReadOnly(path, ds::kDataFileConnect);
        return readOwner(db);
    } catch (const ds::RunError &) {
        return std::nullopt;
    }
}

BackupFacts inspectBackup(const QString &path)
{
    checkDataFileCopy(path);
    BackupFacts facts;
    ds::Database db = ds::Database::openReadOnly(path, ds::kDataFileConnect);
    facts.herbs = countHerbs(db);
    facts.owner = readOwner(db);
    facts.size = QFileInfo(path).size();
    KeptKind kind = KeptKind::Automatic;
    KeptFile named;
    facts.savedAt = parseKeptName(path, &kind, &named) ? named.savedAt : QFileInfo(path).lastModified();
    return facts;
}

QString beforeRestoreQuestion(const QString &backup, const BackupFacts &facts, const QString &keptAs, Replaced replaced,
                              const std::optional<DataOwner> &ours)
{
    const QString kept = replaced == Replaced::Damaged ? QStringLiteral("损坏的数据文件另存为 %1")
                                                       : QStringLiteral("现有数据另存为 %1");
    QString question = QStringLiteral("将用备份文件 %1（保存于 %2，药材 %3 味）替换现有的全部数据，%4。")
                           .arg(QDir::toNativeSeparators(backup), facts.savedAt.toString(QStringLiteral("yyyy-MM-dd HH:mm")))
                           .arg(facts.herbs)
                           .arg(kept.arg(QDir::toNativeSeparators(keptAs)));
    const QString owner = ownerLine(facts.owner, ours);
    if (!owner.isEmpty())
        question += QStringLiteral("\r\n") + owner + QStringLiteral("\r\n");
    return question + QStringLiteral("继续吗？");
}

} // namespace maint
