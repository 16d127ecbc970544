#include "herbs/herb_lookup.h"

#include "browse/name_condition.h"
#include "datastore/database.h"
#include "datastore/pinyin_initials.h"
#include "datastore/sql_text.h"
#include "datastore/statement.h"
#include "herbs/herb_table.h"

#include <algorithm>
#include <vector>

namespace herbs {
namespace {

ds::Dynaset openScratchQuery(ds::Database &db, const QString &statement)
{
    db.purgeQueries();
    db.createQuery(kSearchQuery, statement);
    return db.openDynaset(kSearchQuery);
}

struct Clause {
    const char16_t *column;
    int field;
};

// The order of the clauses is fixed; 宜忌 is not searched.
constexpr Clause kClauses[] = {
    {u"名称", kName}, {u"用法", kUsage}, {u"归经", kMeridian}, {u"性味", kNature},
    {u"功效", kEfficacy}, {u"心得", kNotes}, {u"主治", kIndications},
};

QString likeOperand(const QString &condition)
{
    return QStringLiteral("'*") + ds::sqlEscape(condition) + QStringLiteral("*'");
}

// One column's condition; a name of ASCII letters also matches the names' pinyin initials, and
// a name also finds the herbs whose aliases it matches.
QString clauseCondition(const Clause &clause, const QString &condition, const ds::AliasTable &aliases)
{
    const QString column = QString::fromUtf16(clause.column);
    if (clause.field == kName)
        return browse::aliasedNameCondition(column, condition, aliases);
    return column + QStringLiteral(" like ") + likeOperand(condition);
}

// The names the condition search finds, in the same order, reading no more than it must: an
// empty condition ("**") holds for any text and refuses only a Null, which the column's type
// tells without its content (long texts lie on pages of their own). The typed conditions come
// first, so the few herbs they leave are the only ones whose other columns are looked at.
QString foundNamesStatement(const HerbRecord &fields, const ds::AliasTable &aliases)
{
    QStringList typed;
    QStringList notNull;
    for (const Clause &clause : kClauses) {
        const QString column = QString::fromUtf16(clause.column);
        const QString condition = trimSpaces(fields[clause.field]);
        if (condition.isEmpty())
            notNull.append(QStringLiteral("typeof(%1) <> 'null'").arg(column));
        else
            typed.append(clauseCondition(clause, condition, aliases));
    }
    return QStringLiteral("SELECT 名称 FROM 中医药材 WHERE ") + (typed + notNull).join(QStringLiteral(" and "));
}

// The stored herbs an alias names, and their names in the alias table.
QList<HerbRecord> storedAliasTargets(ds::Database &db, const QString &alias, const ds::AliasTable &aliases,
                                     QStringList &named)
{
    QList<HerbRecord> herbs;
    for (const QString &herb : aliases.herbsNamedBy(alias)) {
        if (std::optional<HerbRecord> stored = findTypedHerb(db, herb)) {
            herbs.append(*stored);
            named.append(herb);
        }
    }
    return herbs;
}

} // namespace

std::optional<QStringList> distinctValues(ds::Database &db, const QString &statement)
{
    ds::Dynaset values = openScratchQuery(db, statement);
    QStringList items;
    // A Null (an imported row may hold one) sorts first; it lists nothing and must not make
    // the whole result count as empty.
    for (values.moveFirst(); !values.eof(); values.moveNext()) {
        if (!values.isNull(0))
            items.append(trimSpaces(values.text(0)));
    }
    if (items.isEmpty())
        return std::nullopt;
    return items;
}

QStringList herbNames(ds::Database &db, const QString &source)
{
    if (source != kHerbTable)
        return db.readColumn(source, kName).texts;
    // The rows' own order (the seed stores them in pinyin order, new herbs follow), not the
    // name index's order of character codes (丁, 三, 丝...). The index holds each row's
    // number beside its name: read it alone and put the names in row order here, which costs
    // far less than walking the whole table with its long texts.
    ds::Statement rows(db.handle(), QStringLiteral("SELECT rowid, 名称 FROM 中医药材"));
    std::vector<std::pair<qint64, QString>> named;
    while (rows.step())
        named.emplace_back(rows.integer(0), rows.value(1).toString());
    std::sort(named.begin(), named.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    QStringList names;
    names.reserve(qsizetype(named.size()));
    for (auto &[row, name] : named)
        names.append(std::move(name));
    return names;
}

bool hasSearchCondition(const HerbRecord &fields)
{
    for (const Clause &clause : kClauses) {
        if (!trimSpaces(fields[clause.field]).isEmpty())
            return true;
    }
    return false;
}

QString conditionStatement(const HerbRecord &fields, const ds::AliasTable &aliases)
{
    QStringList terms;
    for (const Clause &clause : kClauses)
        terms.append(clauseCondition(clause, trimSpaces(fields[clause.field]), aliases));
    return QStringLiteral("SELECT * FROM 中医药材 WHERE ") + terms.join(QStringLiteral(" and "));
}

QStringList runConditionSearch(ds::Database &db, const HerbRecord &fields, const ds::AliasTable &aliases)
{
    db.purgeQueries();
    db.createQuery(kSearchQuery, conditionStatement(fields, aliases));
    ds::TextColumn found = db.readColumn(foundNamesStatement(fields, aliases), 0);
    return ds::isEmptyResult(found) ? QStringList() : std::move(found.texts);
}

TypedNameLookup lookUpTypedName(ds::Database &db, const QString &typedName, const ds::AliasTable &aliases)
{
    // A herb the clinic stored under this very name comes before any herb it is an alias of.
    TypedNameLookup found{findTypedHerb(db, typedName), {}, {}};
    if (found.herb)
        return found;
    QStringList named;
    const QList<HerbRecord> herbs = storedAliasTargets(db, typedName, aliases, named);
    if (herbs.isEmpty())
        return found;
    found.aliasNote = ds::aliasKey(typedName) + QStringLiteral(" → ") + named.join(QChar(0x3001));
    if (herbs.size() == 1) {
        found.herb = herbs.first();
        return found;
    }
    for (const HerbRecord &herb : herbs)
        found.choices.append(herb[kName]);
    return found;
}

QStringList herbsAliasedBy(ds::Database &db, const QString &name, const ds::AliasTable &aliases)
{
    QStringList named;
    if (!findTypedHerb(db, name))
        storedAliasTargets(db, name, aliases, named);
    return named;
}

QStringList herbsByInitials(ds::Database &db, const QString &letters)
{
    const QString typed = trimSpaces(letters);
    if (!ds::isLatinLetters(typed))
        return {};
    // Either reading's initials, whole: " cl zl " holds " zl " but not " l ".
    ds::Statement rows(db.handle(), QStringLiteral("SELECT 名称 FROM 中医药材 WHERE instr(' ' || %1(名称) || ' ', ?) > 0 ORDER BY rowid")
                                        .arg(QLatin1String(ds::kPinyinInitialsFunction)));
    rows.bind(1, QLatin1Char(' ') + typed.toLower() + QLatin1Char(' '));
    QStringList names;
    while (rows.step())
        names.append(rows.value(0).toString());
    return names;
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
