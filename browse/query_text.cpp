#include "browse/query_text.h"

#include "browse/name_condition.h"
#include "datastore/sql_text.h"
#include "datastore/text_trim.h"

namespace browse {
namespace {

QString pattern(const QString &condition)
{
    return QStringLiteral("'*") + ds::sqlEscape(ds::trimSpaces(condition)) + QStringLiteral("*'");
}

} // namespace

QString orderClause(const QString &sortChoice)
{
    return kSortChoices.contains(sortChoice) ? QStringLiteral(" order by ") + sortChoice : QString();
}

QString wholeTableText(const QString &sortChoice)
{
    if (!kSortChoices.contains(sortChoice))
        return QStringLiteral("SELECT * FROM 中医药材 WHERE 名称=''");
    return QStringLiteral("SELECT * FROM 中医药材 order by ") + sortChoice;
}

QString queryText(const QueryConditions &conditions, const QString &sortChoice, const ds::AliasTable &aliases)
{
    if (!kSortChoices.contains(sortChoice))
        return {};
    QStringList terms;
    if (!ds::trimSpaces(conditions.name).isEmpty())
        terms.append(aliasedNameCondition(QStringLiteral("名称"), conditions.name, aliases));
    const auto add = [&](const char16_t *column, const QString &condition) {
        // "like '**'" would also refuse a Null, which the whole table shows.
        if (!ds::trimSpaces(condition).isEmpty())
            terms.append(QString::fromUtf16(column) + QStringLiteral(" like ") + pattern(condition));
    };
    for (const QString &keyword : conditions.efficacy)
        add(u"功效", keyword);
    add(u"归经", conditions.meridian);
    add(u"性味", conditions.nature);
    for (const QString &keyword : conditions.indications)
        add(u"主治", keyword);
    const QString where = terms.isEmpty() ? QString() : QStringLiteral(" WHERE ") + terms.join(QStringLiteral(" and "));
    return QStringLiteral("SELECT * FROM 中医药材") + where + orderClause(sortChoice);
}

} // namespace browse
