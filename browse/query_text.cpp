#include "browse/query_text.h"

#include "datastore/pinyin_initials.h"
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

QString queryText(const QueryConditions &conditions, const QString &sortChoice)
{
    if (!kSortChoices.contains(sortChoice))
        return {};
    QString text = QStringLiteral("SELECT * FROM 中医药材 WHERE ") + ds::nameCondition(QStringLiteral("名称"), conditions.name);
    for (const QString &keyword : conditions.efficacy)
        text += QStringLiteral(" and 功效 like ") + pattern(keyword);
    text += QStringLiteral(" and 归经 like ") + pattern(conditions.meridian);
    text += QStringLiteral(" and 性味 like ") + pattern(conditions.nature);
    for (const QString &keyword : conditions.indications)
        text += QStringLiteral(" and 主治 like ") + pattern(keyword);
    return text + orderClause(sortChoice);
}

} // namespace browse
