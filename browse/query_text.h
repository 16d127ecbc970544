#pragma once

#include "datastore/herb_aliases.h"

#include <QString>
#include <QStringList>

#include <array>

namespace browse {

// The four sort choices of the browse grid, in the order the sort box offers them.
inline const QStringList kSortChoices{QStringLiteral("名称"), QStringLiteral("性味"), QStringLiteral("归经"),
                                      QStringLiteral("功效")};

// The nine query conditions as the screen shows them (untrimmed).
struct QueryConditions {
    QString name;                       // Txtmcyc
    QString nature;                     // Cboycxw, 性味
    QString meridian;                   // Cboycgj, 归经
    std::array<QString, 3> efficacy;    // Cboycgx1..3, 功效
    std::array<QString, 3> indications; // Cboyczz1..3, 主治
};

// " order by <column>" for one of the four sort choices; empty for any other text.
QString orderClause(const QString &sortChoice);

// The whole herb table in the order of the sort choice; for any other text a query that finds
// only herbs stored with an empty name.
QString wholeTableText(const QString &sortChoice);

// The query of the nine conditions in the order of the sort choice; empty when the sort choice
// is not one of the four. Every condition, trimmed, stands between "*" wildcards; a single
// quote in it is doubled, the pattern characters keep their meaning. An empty condition is
// left out, so it asks nothing of its column, not even a value: with every condition empty
// the query shows what the whole table shows. A name condition of ASCII letters alone also
// finds herbs whose names' pinyin initials hold those letters, and a name condition also
// finds the herbs one of whose aliases it matches (or their initials).
QString queryText(const QueryConditions &conditions, const QString &sortChoice,
                  const ds::AliasTable &aliases = ds::shippedAliases());

} // namespace browse
