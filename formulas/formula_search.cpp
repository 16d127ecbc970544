#include "formulas/formula_search.h"

#include "datastore/database.h"
#include "datastore/statement.h"

#include <QRegularExpression>
#include <QSet>

#include <algorithm>

namespace formulas {
namespace {

void keepOnly(RowSet &found, const RowSet &condition)
{
    for (size_t i = 0; i < found.size(); ++i)
        found[i] = found[i] && condition[i];
}

// The rows whose 功用 or 主治 holds the word, searched with the word bound, never written in.
RowSet withWord(ds::Database &db, FormulaIndex &index, const QString &word)
{
    RowSet found(size_t(index.rows().size()), false);
    ds::Statement select(db.handle(),
                         QStringLiteral("SELECT rowid FROM 中医方剂 WHERE instr(方剂功用, ?1) > 0 OR instr(方剂主治, ?1) > 0"));
    select.bind(1, word);
    while (select.step()) {
        const int row = index.positionOf(select.integer(0));
        if (row >= 0)
            found[size_t(row)] = true;
    }
    return found;
}

} // namespace

QStringList splitTypedList(const QString &typed)
{
    static const QRegularExpression separators(QStringLiteral("[\\s、，,；;+＋]+"));
    return typed.split(separators, Qt::SkipEmptyParts);
}

FormulaFound findFormulas(ds::Database &db, const FormulaConditions &conditions, const NameTables &tables)
{
    const std::shared_ptr<FormulaIndex> index = FormulaIndex::of(db, tables);
    RowSet found = index->withName(conditions.name);
    FormulaFound result;
    for (const QString &herb : splitTypedList(conditions.herbs)) {
        keepOnly(found, index->holding(db, herb));
        if (index->herbNames(db).resolve(herb).kind == NameKind::Unknown)
            result.unknownHerbs.append(herb);
    }
    for (const QString &word : splitTypedList(conditions.words))
        keepOnly(found, withWord(db, *index, word));
    const QString chapter = conditions.chapter.trimmed();
    for (qsizetype i = 0; i < index->rows().size(); ++i) {
        if (found[size_t(i)] && (chapter.isEmpty() || index->rows()[i].chapter == chapter))
            result.rows.append(index->rows()[i]);
    }
    return result;
}

int formulasHolding(ds::Database &db, const QString &herb, const NameTables &tables)
{
    const RowSet found = FormulaIndex::of(db, tables)->holding(db, herb);
    return int(std::count(found.cbegin(), found.cend(), true));
}

QStringList chaptersOf(const QList<FormulaRow> &rows)
{
    static const QStringList textbook = QStringLiteral("解表剂 泻下剂 和解剂 清热剂 祛暑剂 温里剂 补益剂 固涩剂 安神剂 开窍剂 "
                                                       "理气剂 理血剂 治风剂 治燥剂 祛湿剂 祛痰剂 消食剂 驱虫剂 涌吐剂 痈疡剂")
                                            .split(QLatin1Char(' '));
    QStringList present;
    QSet<QString> seen;
    for (const FormulaRow &row : rows) {
        if (!row.chapter.isEmpty() && !seen.contains(row.chapter)) {
            seen.insert(row.chapter);
            present.append(row.chapter);
        }
    }
    QStringList ordered;
    for (const QString &chapter : textbook) {
        if (present.removeAll(chapter))
            ordered.append(chapter);
    }
    return ordered + present;
}

} // namespace formulas
