#include "formulas/formula_index.h"

#include "datastore/change_stamp.h"
#include "datastore/database.h"
#include "datastore/engine_text.h"
#include "datastore/pinyin_initials.h"
#include "datastore/statement.h"
#include "formulas/composition.h"
#include "formulas/formula_table.h"

#include <algorithm>
#include <mutex>

namespace formulas {
namespace {

const QChar kFullStop(0x3002);

struct Kept {
    std::mutex mutex;
    std::shared_ptr<FormulaIndex> index;
};

Kept &kept()
{
    static Kept slot;
    return slot;
}

QString textAt(const ds::Statement &statement, int column)
{
    const std::string_view text = statement.utf8(column);
    return ds::fromEngineText(text.data(), qsizetype(text.size()));
}

// A stored name as it is compared: without the final "。".
QStringView bareName(const QString &name)
{
    QStringView view(name);
    return view.endsWith(kFullStop) ? view.chopped(1) : view;
}

QString withoutSpaces(QString text)
{
    text.removeIf([](QChar c) { return c.isSpace(); });
    return text;
}

// Marks the rows whose text holds what find looks for: find(from) gives the next place at or
// after from in the joined texts, -1 when there is none; starts are where each row's text begins.
template <typename Find>
void markHits(RowSet &found, const std::vector<qsizetype> &starts, Find find)
{
    for (qsizetype at = find(0); at >= 0;) {
        const auto row = size_t(std::upper_bound(starts.cbegin(), starts.cend(), at) - starts.cbegin()) - 1;
        found[row] = true;
        at = find(starts[row + 1]);
    }
}

QStringList writtenNames(const QString &composition)
{
    QStringList names;
    for (const Ingredient &ingredient : parseComposition(composition).ingredients)
        names.append(ingredient.name);
    return names;
}

} // namespace

FormulaIndex::FormulaIndex(QByteArray stamp, NameTables tables)
    : m_stamp(std::move(stamp))
    , m_tables(tables)
{
}

std::shared_ptr<FormulaIndex> FormulaIndex::of(ds::Database &db, const NameTables &tables)
{
    QByteArray stamp = ds::changeStamp(db);
    const std::lock_guard<std::mutex> lock(kept().mutex);
    std::shared_ptr<FormulaIndex> &index = kept().index;
    if (index && !stamp.isEmpty() && index->m_stamp == stamp && index->m_tables == tables)
        return index;
    std::shared_ptr<FormulaIndex> fresh(new FormulaIndex(std::move(stamp), tables));
    if (index)
        fresh->m_before = index->m_herbsRead ? index : index->m_before;
    fresh->readRows(db);
    index = fresh;
    return fresh;
}

void FormulaIndex::forget()
{
    const std::lock_guard<std::mutex> lock(kept().mutex);
    kept().index.reset();
}

void FormulaIndex::readRows(ds::Database &db)
{
    ds::Statement rows(db.handle(),
                       QStringLiteral("SELECT rowid, 方剂名称, 方剂备注, 方剂来源 FROM 中医方剂 ORDER BY 方剂名称"));
    while (rows.step()) {
        m_positions.insert(rows.integer(0), int(m_rows.size()));
        m_rows.append({rows.integer(0), textAt(rows, 1), chapterOf(textAt(rows, 2)), textAt(rows, 3)});
        m_starts.push_back(m_names.size());
        m_names += bareName(m_rows.last().name);
        m_names += QLatin1Char('\n');
    }
    m_starts.push_back(m_names.size());
}

RowSet FormulaIndex::withName(const QString &typed)
{
    const QString part = withoutSpaces(ds::aliasKey(typed));
    RowSet found(size_t(m_rows.size()), part.isEmpty());
    if (part.isEmpty())
        return found;
    markHits(found, m_starts, [&](qsizetype from) { return m_names.indexOf(part, from); });
    if (ds::isLatinLetters(part)) {
        if (m_initialStarts.empty()) {
            for (const FormulaRow &row : m_rows) {
                m_initialStarts.push_back(m_initials.size());
                m_initials += ds::searchedInitials(bareName(row.name).toString()).toLatin1() + '\n';
            }
            m_initialStarts.push_back(m_initials.size());
        }
        const QByteArray letters = part.toLower().toLatin1();
        markHits(found, m_initialStarts, [&](qsizetype from) { return m_initials.indexOf(letters, from); });
    }
    const QStringList named = m_tables.formulaAliases->herbsMatching(part);
    if (!named.isEmpty() && m_rowOfName.isEmpty()) {
        for (qsizetype row = 0; row < m_rows.size(); ++row)
            m_rowOfName.insert(bareName(m_rows[row].name).toString(), int(row));
    }
    for (const QString &name : named) {
        for (auto row = m_rowOfName.constFind(name); row != m_rowOfName.cend() && row.key() == name; ++row)
            found[size_t(*row)] = true;
    }
    return found;
}

const HerbNames &FormulaIndex::herbNames(ds::Database &db)
{
    if (!m_herbNames) {
        m_herbList = db.readColumn(QStringLiteral("SELECT 名称 FROM 中医药材"), 0).texts;
        m_herbNames.emplace(m_herbList, *m_tables.herbAliases, *m_tables.auxiliaries);
    }
    return *m_herbNames;
}

QStringList FormulaIndex::identities(const QString &written) const
{
    const ResolvedName resolved = m_herbNames->resolve(written);
    if (!resolved.herbs.isEmpty())
        return resolved.herbs;
    const QString own = ds::aliasKey(written);
    return own.isEmpty() ? QStringList() : QStringList{own};
}

int FormulaIndex::identity(const QString &name)
{
    const auto found = m_ids.constFind(name);
    return found != m_ids.cend() ? *found : *m_ids.insert(name, int(m_ids.size()));
}

std::vector<int> FormulaIndex::identitiesOf(qint64 rowId, const QString &composition, bool sameHerbs,
                                            QHash<QString, std::vector<int>> &ofName)
{
    if (sameHerbs) {
        const int before = m_before->positionOf(rowId);
        if (before >= 0 && m_before->m_compositions[size_t(before)] == composition)
            return m_before->m_held[size_t(before)];
    }
    std::vector<int> held;
    for (const QString &name : writtenNames(composition)) {
        auto ids = ofName.constFind(name);
        if (ids == ofName.cend()) {
            std::vector<int> made;
            for (const QString &herb : identities(name))
                made.push_back(identity(herb));
            ids = ofName.insert(name, made);
        }
        held.insert(held.end(), ids->cbegin(), ids->cend());
    }
    return held;
}

void FormulaIndex::readHerbs(ds::Database &db)
{
    herbNames(db);
    // The identities keep their numbers while the herb table is as it was.
    const bool sameHerbs = m_before && m_before->m_tables == m_tables && m_before->m_herbList == m_herbList;
    if (sameHerbs)
        m_ids = m_before->m_ids;
    const size_t rows = size_t(m_rows.size());
    m_compositions.resize(rows);
    m_held.resize(rows);
    QHash<QString, std::vector<int>> ofName; // by the name as written in a composition
    ds::Statement compositions(db.handle(), QStringLiteral("SELECT rowid, 方剂组成 FROM 中医方剂"));
    while (compositions.step()) {
        const int row = positionOf(compositions.integer(0));
        if (row < 0)
            continue;
        m_compositions[size_t(row)] = textAt(compositions, 1);
        m_held[size_t(row)] = identitiesOf(compositions.integer(0), m_compositions[size_t(row)], sameHerbs, ofName);
    }
    // Counted, then placed: each identity's rows in one run, in the rows' order.
    m_holderStart.assign(size_t(m_ids.size()) + 1, 0);
    for (const std::vector<int> &held : m_held) {
        for (int id : held)
            ++m_holderStart[size_t(id) + 1];
    }
    for (size_t id = 1; id < m_holderStart.size(); ++id)
        m_holderStart[id] += m_holderStart[id - 1];
    m_holders.resize(size_t(m_holderStart.back()));
    std::vector<int> next(m_holderStart.cbegin(), m_holderStart.cend() - 1);
    for (size_t row = 0; row < rows; ++row) {
        for (int id : m_held[row])
            m_holders[size_t(next[size_t(id)]++)] = int(row);
    }
    m_before.reset();
    m_herbsRead = true;
}

RowSet FormulaIndex::holding(ds::Database &db, const QString &written)
{
    if (!m_herbsRead)
        readHerbs(db);
    RowSet found(size_t(m_rows.size()), false);
    for (const QString &identity : identities(written)) {
        for (const QString &form : m_tables.processedForms->withForms(identity)) {
            const int id = m_ids.value(form, -1);
            if (id < 0)
                continue;
            for (int at = m_holderStart[size_t(id)]; at < m_holderStart[size_t(id) + 1]; ++at)
                found[size_t(m_holders[size_t(at)])] = true;
        }
    }
    return found;
}

} // namespace formulas
