#include "maintenance/backup_facts.h"

#include "datastore/data_file.h"
#include "datastore/errors.h"
#include "maintenance/backup_files.h"
#include "maintenance/data_file_check.h"

#include <QFileInfo>

namespace maint {
namespace {

int countHerbs(const QString &path)
{
    ds::Database db = ds::Database::openReadOnly(path, ds::kDataFileConnect);
    return db.openDynaset(QStringLiteral("SELECT count(*) FROM 中医药材")).field(0).toInt();
}

} // namespace

std::optional<int> herbCount(const QString &path)
{
    try {
        return countHerbs(path);
    } catch (const ds::RunError &) {
        return std::nullopt;
    }
}

BackupFacts inspectBackup(const QString &path)
{
    checkDataFileCopy(path);
    BackupFacts facts;
    facts.herbs = countHerbs(path);
    facts.size = QFileInfo(path).size();
    KeptKind kind = KeptKind::Automatic;
    KeptFile named;
    facts.savedAt = parseKeptName(path, &kind, &named) ? named.savedAt : QFileInfo(path).lastModified();
    return facts;
}

} // namespace maint
