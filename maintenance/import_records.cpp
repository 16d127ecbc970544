#include "maintenance/import_records.h"

#include "maintenance/backup_copy.h"
#include "maintenance/data_file_check.h"
#include "maintenance/import_source.h"

#include "datastore/data_file.h"
#include "datastore/errors.h"
#include "datastore/kept_connection.h"
#include "datastore/statement.h"
#include "herbs/normalize_field_text.h"
#include "startup/files/file_replace.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace maint {
namespace {

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

QString marks(int from, int count)
{
    QStringList all;
    for (int i = from; i < from + count; ++i)
        all.append(QStringLiteral("?%1").arg(i));
    return all.join(QLatin1Char(','));
}

// The stored rows whose names, in stored form, the source holds; only their names are
// decoded for the rest.
QList<StoredRow> storedRowsNamed(ds::Database &db, ImportKind kind, const QSet<QString> &names)
{
    QList<StoredRow> rows;
    ds::Statement select(db.handle(), QStringLiteral("SELECT rowid, * FROM %1").arg(kindName(kind)));
    while (select.step()) {
        const QString name = select.value(1).toString();
        if (!names.contains(name) && !names.contains(herbs::NormalizeFieldText(name)))
            continue;
        StoredRow row{select.integer(0), {name}};
        for (int column = 2; column <= 8; ++column)
            row.texts.append(select.value(column).toString());
        // Decoded with room for every byte of the engine's UTF-8: three times what Chinese
        // text needs, held here for the whole import.
        for (QString &text : row.texts)
            text.squeeze();
        rows.append(std::move(row));
    }
    return rows;
}

void bindTexts(ds::Statement &statement, const QStringList &texts)
{
    for (int i = 0; i < texts.size(); ++i)
        statement.bind(i + 1, texts[i]);
}

// The different rows that take at least one imported text.
qsizetype takenRows(const MergePlan &plan, const TakenTexts &taken)
{
    qsizetype rows = 0;
    for (qsizetype i = 0; i < plan.different.size(); ++i)
        rows += taken.value(i).isEmpty() ? 0 : 1;
    return rows;
}

[[noreturn]] void throwRefused(const ds::RunError &error, ImportKind kind, const QString &name)
{
    const QString why = error.number() == int(ds::ErrorCode::DuplicateName)
                            ? QStringLiteral("%1中已经有同名的记录").arg(kindName(kind))
                            : error.description();
    throw ds::RunError(error.number(), QStringLiteral("“%1”不能导入：%2。没有导入任何记录。").arg(name, why));
}

} // namespace

QString kindName(ImportKind kind)
{
    return kind == ImportKind::Herbs ? QStringLiteral("中医药材") : QStringLiteral("中医方剂");
}

QString kindNoun(ImportKind kind)
{
    return kind == ImportKind::Herbs ? QStringLiteral("药材") : QStringLiteral("方剂");
}

QString kindMeasure(ImportKind kind)
{
    return kind == ImportKind::Herbs ? QStringLiteral("味") : QStringLiteral("首");
}

const QStringList &fieldNames(ImportKind kind)
{
    static const QStringList herbs{QStringLiteral("名称"), QStringLiteral("归经"), QStringLiteral("性味"),
                                   QStringLiteral("功效"), QStringLiteral("主治"), QStringLiteral("用法"),
                                   QStringLiteral("宜忌"), QStringLiteral("心得")};
    static const QStringList prescriptions{QStringLiteral("方剂名称"), QStringLiteral("方剂组成"), QStringLiteral("方剂功用"),
                                           QStringLiteral("方剂主治"), QStringLiteral("方剂用法"), QStringLiteral("方剂来源"),
                                           QStringLiteral("方剂备注"), QStringLiteral("方剂心得")};
    return kind == ImportKind::Herbs ? herbs : prescriptions;
}

MergePlan planImport(const QString &dataFile, const QString &source, ImportKind kind,
                     const std::function<void(int)> &rowRead)
{
    if (QFileInfo::exists(source) && startup::sameFile(source, dataFile))
        throw ds::RunError(ds::ErrorCode::CannotCopyFile, QStringLiteral("不能从系统正在使用的数据文件导入，请选择另一个文件。"));
    // The merge is planned on the data file as the disk holds it, by a connection opened for it.
    ds::closeKeptConnection();
    QList<SourceRow> theirs;
    {
        ds::Database from = openSource(source);
        theirs = readSourceRows(from, kind, rowRead);
    }
    QSet<QString> names;
    names.reserve(theirs.size());
    for (const SourceRow &row : theirs)
        names.insert(row.texts[0]);
    ds::Database target = ds::openDataFile(dataFile);
    return sortForMerge(storedRowsNamed(target, kind, names), theirs);
}

TakenTexts takenTexts(const MergePlan &plan, MergeChoice choice)
{
    TakenTexts taken;
    for (const Difference &difference : plan.different)
        taken.append(choice == MergeChoice::TakeTheirs ? difference.fields : QList<int>());
    return taken;
}

QString applyImport(const QString &dataFile, ImportKind kind, const MergePlan &plan, const TakenTexts &taken,
                    const std::function<void(int)> &rowDone)
{
    const qsizetype replaced = takenRows(plan, taken);
    if (plan.fresh.isEmpty() && replaced == 0)
        return {};
    const QString keptBefore = replaced > 0 ? keepBeforeImport(dataFile, QDateTime::currentDateTime()) : QString();
    ds::Database target = ds::openDataFile(dataFile);
    ds::Transaction transaction(target);
    int done = 0;
    const auto rowWritten = [&] {
        ++done;
        if (rowDone)
            rowDone(done);
    };
    {
        ds::Statement insert(target.handle(), QStringLiteral("INSERT INTO %1 VALUES(%2)").arg(kindName(kind), marks(1, 8)));
        for (const QStringList &row : plan.fresh) {
            try {
                bindTexts(insert, row);
                insert.run();
                insert.reset();
            } catch (const ds::RunError &error) {
                throwRefused(error, kind, row[0]);
            }
            rowWritten();
        }
    }
    if (replaced > 0) {
        QStringList columns;
        for (const QString &field : fieldNames(kind))
            columns.append(field + QStringLiteral(" = ?%1").arg(columns.size() + 1));
        // The row must still be the one the plan read: the same rowid under the same name.
        ds::Statement update(target.handle(), QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?9 AND %3 = ?10")
                                                  .arg(kindName(kind), columns.join(QLatin1Char(',')), fieldNames(kind)[0]));
        for (qsizetype i = 0; i < plan.different.size(); ++i) {
            const Difference &difference = plan.different[i];
            const QList<int> fields = taken.value(i);
            if (fields.isEmpty())
                continue;
            QStringList texts = difference.ours;
            for (const int field : fields)
                texts[field] = difference.theirs.value(field);
            int changed = 0;
            try {
                bindTexts(update, texts);
                update.bind(9, difference.rowId);
                update.bind(10, difference.ours.value(0));
                changed = update.run();
                update.reset();
            } catch (const ds::RunError &error) {
                throwRefused(error, kind, difference.theirs[0]);
            }
            if (changed != 1)
                throwRefused(ds::RunError(ds::ErrorCode::NoCurrentRecord, QStringLiteral("这条记录在导入时已经改变")), kind,
                             difference.theirs[0]);
            rowWritten();
        }
    }
    transaction.commit();
    return keptBefore;
}

QString applyImport(const QString &dataFile, ImportKind kind, const MergePlan &plan, MergeChoice choice,
                    const std::function<void(int)> &rowDone)
{
    return applyImport(dataFile, kind, plan, takenTexts(plan, choice), rowDone);
}

QString importMessage(ImportKind kind, const MergePlan &plan, const TakenTexts &taken, const QString &keptBefore)
{
    const qsizetype different = plan.different.size();
    const qsizetype replaced = takenRows(plan, taken);
    // Partly taken rows keep the texts not ticked: only every text taken is 已改用导入内容.
    QString ending = QStringLiteral("中 %1 条采用了勾选的导入内容").arg(replaced);
    if (replaced == 0)
        ending = QStringLiteral("保留本机内容");
    else if (taken == takenTexts(plan, MergeChoice::TakeTheirs))
        ending = QStringLiteral("已改用导入内容");
    else if (replaced < different)
        ending += QStringLiteral("，%1 条保留本机内容").arg(different - replaced);
    QString message = QStringLiteral("已经导入 %1 条新%2，%3 条相同的已跳过，%4 条同名的%5。")
                          .arg(plan.fresh.size())
                          .arg(kindNoun(kind))
                          .arg(plan.identical)
                          .arg(different)
                          .arg(ending);
    if (!keptBefore.isEmpty())
        message += QStringLiteral("\r\n导入以前的数据已另存为 %1。").arg(QDir::toNativeSeparators(keptBefore));
    return message;
}

QString importMessage(ImportKind kind, const MergePlan &plan, MergeChoice choice, const QString &keptBefore)
{
    return importMessage(kind, plan, takenTexts(plan, choice), keptBefore);
}

int importRecords(const QString &dataFile, const QString &source, ImportKind kind, const std::function<void(int)> &rowDone)
{
    const MergePlan plan = planImport(dataFile, source, kind);
    applyImport(dataFile, kind, plan, MergeChoice::KeepOurs, rowDone);
    return int(plan.fresh.size());
}

} // namespace maint
