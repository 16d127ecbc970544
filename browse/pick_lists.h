#pragma once

#include <QString>
#include <QStringList>

#include <string>
#include <vector>

namespace ds {
class Database;
}

namespace browse {

// The sources of the query's pick-lists: every row's value, duplicates and all. The lists
// take each value once, in pinyin order, as "select DISTINCT … order by" would give them.
inline const QString kNatureListSql = QStringLiteral("select 性味 FROM 中医药材");
inline const QString kMeridianListSql = QStringLiteral("select 归经 FROM 中医药材");
inline const QString kEfficacyListSql = QStringLiteral("select 药材功效 FROM 药材功效");
inline const QString kIndicationListSql = QStringLiteral("select 药材主治 FROM 药材主治");

// The values of the first column of the source's rows, each once and in pinyin order; a Null
// value gives no item. Failures reach the caller, whose list then keeps its old items.
QStringList pickListItems(ds::Database &db, const QString &source);

// Each value once, in pinyin order. The duplicates (most of a dictionary's rows) go before
// the sort, so the collation compares only the few thousand different values.
QStringList distinctInPinyinOrder(std::vector<std::string> values);

} // namespace browse
