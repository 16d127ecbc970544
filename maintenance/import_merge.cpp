#include "maintenance/import_merge.h"

#include "datastore/errors.h"
#include "herbs/normalize_field_text.h"

#include <QHash>

namespace maint {
namespace {

// The stored rows by their names in stored form. Should the file hold one name in two forms
// (an older import kept "甘草" beside "甘草。"), the row already in stored form answers for it.
QHash<QString, qsizetype> byStoredName(const QList<StoredRow> &stored)
{
    QHash<QString, qsizetype> index;
    index.reserve(stored.size());
    for (qsizetype i = 0; i < stored.size(); ++i) {
        const QString &name = stored[i].texts.value(0);
        const QString key = herbs::NormalizeFieldText(name);
        const auto found = index.constFind(key);
        if (found == index.cend() || name == key)
            index.insert(key, i);
    }
    return index;
}

} // namespace

QList<int> differingFields(const QStringList &ours, const QStringList &theirs)
{
    QList<int> fields;
    for (int i = 0; i < theirs.size(); ++i) {
        const QString &mine = ours.value(i);
        if (theirs[i].isNull())
            continue;
        // Most stored texts are in stored form already: equal as they stand, nothing to make.
        if (mine != theirs[i] && herbs::NormalizeFieldText(mine) != theirs[i])
            fields.append(i);
    }
    return fields;
}

MergePlan sortForMerge(const QList<StoredRow> &stored, const QList<SourceRow> &source)
{
    const QHash<QString, qsizetype> ours = byStoredName(stored);
    QHash<QString, qsizetype> seen;
    seen.reserve(source.size());
    MergePlan plan;
    plan.sourceRows = int(source.size());
    for (qsizetype i = 0; i < source.size(); ++i) {
        const SourceRow &row = source[i];
        const QString &name = row.texts.value(0);
        const auto earlier = seen.constFind(name);
        if (earlier != seen.cend()) {
            const SourceRow &first = source[*earlier];
            if (first.texts != row.texts)
                throw ds::RunError(ds::ErrorCode::DuplicateName,
                                   QStringLiteral("源文件第 %1 行（“%2”）和第 %3 行同名而内容不同，不能导入，没有导入任何记录。")
                                       .arg(row.line)
                                       .arg(name)
                                       .arg(first.line));
            ++plan.identical;
            continue;
        }
        seen.insert(name, i);
        const auto match = ours.constFind(name);
        const StoredRow *mine = match == ours.cend() ? nullptr : &stored[*match];
        QStringList theirs = row.texts;
        for (qsizetype field = 0; field < theirs.size(); ++field) {
            if (theirs[field].isNull())
                theirs[field] = mine ? mine->texts.value(field) : QStringLiteral(" ");
        }
        if (!mine) {
            plan.fresh.append(theirs);
            continue;
        }
        QList<int> fields = differingFields(mine->texts, row.texts);
        if (fields.isEmpty())
            ++plan.identical;
        else
            plan.different.append({mine->rowId, mine->texts, theirs, std::move(fields)});
    }
    return plan;
}

} // namespace maint
