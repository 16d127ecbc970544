#include "browse/name_condition.h"

#include "datastore/engine_text.h"
#include "datastore/herb_aliases.h"
#include "datastore/jet_like.h"
#include "datastore/pinyin_initials.h"
#include "datastore/sql_text.h"
#include "datastore/text_trim.h"

#include <QStringList>

#include <string_view>

namespace browse {

QString nameCondition(const QString &column, const QString &typedName)
{
    const QString name = ds::trimSpaces(typedName);
    const QString pattern = QStringLiteral("'*") + ds::sqlEscape(name) + QStringLiteral("*'");
    const QString like = column + QStringLiteral(" like ") + pattern;
    if (!ds::isLatinLetters(name))
        return like;
    return QStringLiteral("(%1 or %2(%3) like %4)").arg(like, QLatin1String(ds::kPinyinInitialsFunction), column, pattern);
}

bool nameMeets(const QString &storedName, const QString &typedName)
{
    const QString name = ds::trimSpaces(typedName);
    const QByteArray pattern = ds::toEngineText(QLatin1Char('*') + name + QLatin1Char('*'));
    const QByteArray stored = ds::toEngineText(storedName);
    const auto view = [](const QByteArray &bytes) { return std::string_view(bytes.constData(), size_t(bytes.size())); };
    if (ds::jetLike(view(stored), view(pattern)))
        return true;
    return ds::isLatinLetters(name) && ds::searchedInitials(storedName).contains(name, Qt::CaseInsensitive);
}

QString aliasedNameCondition(const QString &column, const QString &typedName, const ds::AliasTable &aliases)
{
    const QString own = nameCondition(column, typedName);
    const QStringList herbs = aliases.herbsMatching(typedName);
    if (herbs.isEmpty())
        return own;
    const QChar fullStop(0x3002);
    QStringList names;
    for (const QString &herb : herbs)
        names << ds::sqlQuoted(herb) << ds::sqlQuoted(herb + fullStop);
    // trim() gives a text without the column's collation: the names compare byte by byte,
    // without a pinyin comparison for every row.
    const QString named = QStringLiteral("trim(%1) in (%2)").arg(column, names.join(QLatin1Char(',')));
    // nameCondition gives one term, or several already within parentheses.
    const QString terms = own.startsWith(QLatin1Char('(')) ? own.mid(1, own.size() - 2) : own;
    return QStringLiteral("(%1 or %2)").arg(terms, named);
}

} // namespace browse
