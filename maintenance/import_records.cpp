#include "maintenance/import_records.h"

#include "maintenance/data_file_check.h"

#include "datastore/data_file.h"
#include "datastore/errors.h"

#include <QFileInfo>
#include <QStringList>

namespace maint {
namespace {

// Where the rows of a kind are found in a source file and how they go into the data file.
struct SourceQuery {
    QString table;
    QString select;
    bool spaceAsSeventh; // the family's prescriptions have no seventh value
};

const SourceQuery kFamilyHerbs{QStringLiteral("zyyc"),
                               QStringLiteral("select ycmc,ycgj,ycxw,ycgy,yczz,ycyf,ycyj,ycxd FROM zyyc"), false};
const SourceQuery kFamilyPrescriptions{QStringLiteral("zyfj"),
                                       QStringLiteral("select fjmc,fjgc,fjgy,fjzz,fjyf,fjly,fjxd FROM zyfj"), true};
const SourceQuery kOwnHerbs{QStringLiteral("中医药材"), QStringLiteral("SELECT * FROM 中医药材"), false};
const SourceQuery kOwnPrescriptions{QStringLiteral("中医方剂"), QStringLiteral("SELECT * FROM 中医方剂"), false};

bool sameFile(const QString &a, const QString &b)
{
    return QFileInfo(a).canonicalFilePath() == QFileInfo(b).canonicalFilePath();
}

ds::Database openSourceKeyed(const QString &source)
{
    try {
        return openChosenFile(source, kImportSourceConnect);
    } catch (const ds::RunError &error) {
        if (error.number() != int(ds::ErrorCode::WrongPassword))
            throw;
    }
    // Not a file of the family: perhaps a backup of this system's own data file.
    return openChosenFile(source, ds::kDataFileConnect);
}

// Rows are taken only from a file whose every page is sound: a damaged page the import does
// not happen to read would otherwise let a broken file pass as a source.
ds::Database openSource(const QString &source)
{
    ds::Database db = openSourceKeyed(source);
    checkEveryPage(db, source);
    return db;
}

bool hasTable(ds::Database &db, const QString &table)
{
    return db.openDynaset(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name = '%1'").arg(table))
               .recordCount()
           > 0;
}

SourceQuery sourceQuery(ds::Database &db, ImportKind kind)
{
    const SourceQuery &family = kind == ImportKind::Herbs ? kFamilyHerbs : kFamilyPrescriptions;
    const SourceQuery &own = kind == ImportKind::Herbs ? kOwnHerbs : kOwnPrescriptions;
    if (hasTable(db, family.table))
        return family;
    if (hasTable(db, own.table))
        return own;
    throw ds::RunError(ds::ErrorCode::ObjectNotFound, QStringLiteral("源文件中没有%1数据（找不到表 %2 或 %3）。")
                                                          .arg(kindName(kind), family.table, own.table));
}

QVariantList targetValues(const ds::Dynaset &rows, const SourceQuery &query)
{
    QVariantList values;
    for (int column = 0; column < rows.fieldCount(); ++column) {
        if (query.spaceAsSeventh && column == 6)
            values.append(QStringLiteral(" "));
        values.append(rows.field(column));
    }
    return values;
}

QString insertText(ImportKind kind)
{
    QStringList marks;
    for (int i = 1; i <= 8; ++i)
        marks.append(QStringLiteral("?%1").arg(i));
    return QStringLiteral("INSERT INTO %1 VALUES(%2)").arg(kindName(kind), marks.join(QLatin1Char(',')));
}

void insertRow(ds::Database &target, const QString &insert, const QVariantList &values)
{
    for (int column = 0; column < values.size(); ++column) {
        if (values[column].isNull())
            throw ds::RunError(ds::ErrorCode::InvalidUseOfNull,
                               QStringLiteral("第 %1 个值是空值（Null）").arg(column + 1));
    }
    target.execute(insert, values);
}

} // namespace

QString kindName(ImportKind kind)
{
    return kind == ImportKind::Herbs ? QStringLiteral("中医药材") : QStringLiteral("中医方剂");
}

int importRecords(const QString &dataFile, const QString &source, ImportKind kind, const std::function<void(int)> &rowDone)
{
    if (QFileInfo::exists(source) && sameFile(source, dataFile))
        throw ds::RunError(ds::ErrorCode::CannotCopyFile, QStringLiteral("不能从系统正在使用的数据文件导入，请选择另一个文件。"));
    ds::Database from = openSource(source);
    const SourceQuery query = sourceQuery(from, kind);
    ds::Dynaset rows = from.openDynaset(query.select);
    from.close();
    if (rows.recordCount() == 0)
        return 0;

    ds::Database target = ds::openDataFile(dataFile);
    const QString insert = insertText(kind);
    ds::Transaction transaction(target);
    int done = 0;
    for (rows.moveFirst(); !rows.eof(); rows.moveNext()) {
        try {
            insertRow(target, insert, targetValues(rows, query));
        } catch (const ds::RunError &error) {
            const QString why = error.number() == int(ds::ErrorCode::DuplicateName)
                                    ? QStringLiteral("%1中已经有同名的记录").arg(kindName(kind))
                                    : error.description();
            throw ds::RunError(error.number(), QStringLiteral("源文件第 %1 行（%2）不能导入：%3。本次导入的记录已全部撤销。")
                                                   .arg(done + 1)
                                                   .arg(rows.isNull(0) ? QStringLiteral("名称为空") : QStringLiteral("“%1”").arg(rows.text(0)),
                                                        why));
        }
        ++done;
        if (rowDone)
            rowDone(done);
    }
    transaction.commit();
    return done;
}

} // namespace maint
