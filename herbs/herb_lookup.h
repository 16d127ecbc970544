#pragma once

#include "datastore/herb_aliases.h"
#include "herbs/herb_record.h"

#include <QStringList>

#include <optional>

namespace ds {
class Database;
}

namespace herbs {

// The statements of the two combo lists of stored values.
inline const QString kMeridianValuesSql = QStringLiteral("select distinct 归经 FROM 中医药材 order by 归经");
inline const QString kNatureValuesSql = QStringLiteral("select distinct 性味 FROM 中医药材 order by 性味");

// The distinct values the statement gives, in its order and without leading and trailing
// spaces (a stored " " becomes an empty item), Nulls left out; nothing when no value is left,
// so the caller keeps the list it has.
std::optional<QStringList> distinctValues(ds::Database &db, const QString &statement);

// Where the name list takes its rows from: the whole table, or the last condition search.
inline const QString kSearchQuery = QStringLiteral("000");

// The 名称 of every row of the source (a table or stored query name), in the source's order
// (a table's is the order its rows were stored in); a Null name is an empty entry.
QStringList herbNames(ds::Database &db, const QString &source);

// True when at least one of the seven searchable fields (all but 宜忌) holds text apart from
// spaces.
bool hasSearchCondition(const HerbRecord &fields);

// The condition search statement: one like clause per searchable field, each condition
// between "*" wildcards. A single quote is searched for as a character; the other pattern
// characters (* ? # [ ]) keep their meaning. The name condition also finds the herbs whose
// aliases it matches.
QString conditionStatement(const HerbRecord &fields, const ds::AliasTable &aliases = ds::shippedAliases());

// Stores the condition search statement as the scratch query "000" and gives the 名称 of the
// rows it finds, as herbNames would list them from it (none when the result is empty: no row,
// or the first row's name is Null). Only what the conditions need is read.
QStringList runConditionSearch(ds::Database &db, const HerbRecord &fields,
                               const ds::AliasTable &aliases = ds::shippedAliases());

// What Enter in the name box finds: the herb stored under the typed name; failing that, the
// stored herbs the name is an alias of, with a note of what it stands for ("云苓 → 茯苓").
struct TypedNameLookup {
    std::optional<HerbRecord> herb; // the one herb found
    QStringList choices;            // the stored names, when the alias names several stored herbs
    QString aliasNote;              // empty when the name itself was found, or nothing was
};
TypedNameLookup lookUpTypedName(ds::Database &db, const QString &typedName,
                                const ds::AliasTable &aliases = ds::shippedAliases());

// The herbs stored under another name that the name is an alias of, by their names in the
// alias table ("茯苓" for 云苓); none when a herb is stored under the name itself.
QStringList herbsAliasedBy(ds::Database &db, const QString &name, const ds::AliasTable &aliases = ds::shippedAliases());

// The stored names, in the rows' order, whose pinyin initials by either reading
// (ds::searchedInitials) are the typed letters (any case); none unless the text is ASCII
// letters alone.
QStringList herbsByInitials(ds::Database &db, const QString &letters);

// The count line after the whole table was counted ("12 味") and after a search (" 3种").
QString herbCountCaption(int count);
QString foundCountCaption(int count);

} // namespace herbs
