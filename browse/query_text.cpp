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

QString nameClause(const QString &condition)
{
    const QString name = ds::trimSpaces(condition);
    const QString like = QStringLiteral("名称 like ") + pattern(name);
    if (!isLatinLetters(name))
        return like;
    return QStringLiteral("(%1 or %2(名称) like %3)")
        .arg(like, QLatin1String(ds::kPinyinInitialsFunction), pattern(name));
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
    QString text = QStringLiteral("SELECT * FROM 中医药材 WHERE ") + nameClause(conditions.name);
    for (const QString &keyword : conditions.efficacy)
        text += QStringLiteral(" and 功效 like ") + pattern(keyword);
    text += QStringLiteral(" and 归经 like ") + pattern(conditions.meridian);
    text += QStringLiteral(" and 性味 like ") + pattern(conditions.nature);
    for (const QString &keyword : conditions.indications)
        text += QStringLiteral(" and 主治 like ") + pattern(keyword);
    return text + orderClause(sortChoice);
}

bool isLatinLetters(const QString &text)
{
    if (text.isEmpty())
        return false;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (!((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z')))
            return false;
    }
    return true;
}

} // namespace browse
