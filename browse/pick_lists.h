#pragma once

#include <QString>
#include <QStringList>

namespace ds {
class Database;
}

namespace browse {

// The sources of the query's pick-lists, each in pinyin order.
inline const QString kNatureListSql = QStringLiteral("select DISTINCT 性味 FROM 中医药材 order by 性味");
inline const QString kMeridianListSql = QStringLiteral("select DISTINCT 归经 FROM 中医药材 order by 归经");
inline const QString kEfficacyListSql = QStringLiteral("select DISTINCT * FROM 药材功效 order by 药材功效");
inline const QString kIndicationListSql = QStringLiteral("select DISTINCT * FROM 药材主治 order by 药材主治");

// The first column of every row of the source, as stored and in the source's order; a Null
// value gives no item. Failures reach the caller, whose list then keeps its old items.
QStringList pickListItems(ds::Database &db, const QString &source);

} // namespace browse
