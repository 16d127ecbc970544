#include "herbs/herb_lookup.h"

#include "datastore/database.h"
#include "datastore/sql_text.h"

namespace herbs {
namespace {

ds::Dynaset openScratchQuery(ds::Database &db, const QString &statement)
{
    db.purgeQueries();
    db.createQuery(kSearchQuery, statement);
    return db.openDynaset(kSearchQuery);
}

struct Clause {
    const char16_t *piece;
    int field;
};

// The order of the clauses is fixed; 宜忌 is not searched.
constexpr Clause kClauses[] = {
    {u"SELECT * FROM 中医药材 WHERE 名称 like ", kName},
    {u" and 用法 like ", kUsage},
    {u" and 归经 like ", kMeridian},
    {u" and 性味 like ", kNature},
    {u" and 功效 like ", kEfficacy},
    {u" and 心得 like ", kNotes},
    {u" and 主治 like ", kIndications},
};

} // namespace

std::optional<QStringList> distinctValues(ds::Database &db, const QString &statement)
{
    ds::Dynaset values = openScratchQuery(db, statement);
    if (ds::isEmptyResult(values))
        return std::nullopt;
    values.moveLast();
    values.moveFirst();
    QStringList items;
    for (; !values.eof(); values.moveNext())
        items.append(trimSpaces(values.text(0)));
    return items;
}

QStringList herbNames(ds::Database &db, const QString &source)
{
    return db.readColumn(source, kName).texts;
}

bool hasSearchCondition(const HerbRecord &fields)
{
    for (const Clause &clause : kClauses) {
        if (!trimSpaces(fields[clause.field]).isEmpty())
            return true;
    }
    return false;
}

QString conditionStatement(const HerbRecord &fields)
{
    QString statement;
    for (const Clause &clause : kClauses) {
        statement += QString::fromUtf16(clause.piece);
        statement += QStringLiteral("'*") + ds::sqlEscape(trimSpaces(fields[clause.field])) + QStringLiteral("*'");
    }
    return statement;
}

QStringList runConditionSearch(ds::Database &db, const QString &statement)
{
    db.purgeQueries();
    db.createQuery(kSearchQuery, statement);
    ds::TextColumn found = db.readColumn(kSearchQuery, kName);
    return ds::isEmptyResult(found) ? QStringList() : std::move(found.texts);
}

QString herbCountCaption(int count)
{
    return QString::number(count) + QStringLiteral(" 味");
}

QString foundCountCaption(int count)
{
    // One leading space where a minus sign would stand.
    return QLatin1Char(' ') + QString::number(count) + QStringLiteral("种");
}

} // namespace herbs
