#include "maintenance/backup_facts.h"

#include "datastore/data_file.h"
#include "datastore/errors.h"
#include "maintenance/backup_files.h"
#include "maintenance/data_file_check.h"

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

} // namespace maint
