#include "prescription/prescription_lines.h"

#include "datastore/herb_aliases.h"
#include "formulas/composition.h"
#include "prescription/dose_range.h"
#include "prescription/shipped_tables.h"

#include <algorithm>

namespace rx {
namespace {

const QChar kEach(0x5404); // 各

// Whether the dose of an ingredient read from text is each herb's: written after 各 on the item
// itself ("焦三仙各10g"), or given by a 各 after it ("二冬、二地各10g"), so its own text lacks it.
bool doseIsEach(const QString &text, const formulas::Ingredient &item)
{
    if (!item.hasFigure())
        return false;
    const QString written = asciiTwins(text.mid(item.position, item.length));
    return written.contains(item.name + kEach) || !written.contains(item.amountText);
}

RxLine lineOf(const formulas::Ingredient &item)
{
    // A figure without a unit is grams, and the line says so.
    const QString unit = item.unit.isEmpty() ? QStringLiteral("g") : item.unit;
    return {item.name, item.amountText, item.hasFigure() ? unit : QString(), item.note};
}

} // namespace

std::optional<double> RxLine::amount() const
{
    bool ok = false;
    const double value = asciiTwins(dose.trimmed()).toDouble(&ok);
    if (!ok || value < 0)
        return std::nullopt;
    return value;
}

CompoundLookup::CompoundLookup(const QList<CompoundName> &compounds)
    : m_compounds(compounds)
{
    for (qsizetype i = 0; i < m_compounds.size(); ++i) {
        for (const QString &name : std::as_const(m_compounds[i].names))
            m_index.insert(name, i);
    }
}

const CompoundName *CompoundLookup::find(const QString &written) const
{
    const auto found = m_index.constFind(ds::aliasKey(written));
    return found == m_index.cend() ? nullptr : &m_compounds[*found];
}

const CompoundLookup &shippedCompounds()
{
    static const CompoundLookup lookup(shippedTables().compounds);
    return lookup;
}

QList<RxLine> expandCompound(const RxLine &line, const CompoundName &compound, bool each)
{
    // The herbs in the table's order, a herb written twice counted twice.
    QList<std::pair<CompoundPart, int>> herbs;
    for (const CompoundPart &part : compound.parts) {
        auto same = std::find_if(herbs.begin(), herbs.end(), [&](const auto &h) { return h.first.herb == part.herb; });
        if (same == herbs.end())
            herbs.append({part, 1});
        else
            ++same->second;
    }
    const std::optional<double> amount = line.amount();
    const double perPart = amount ? (each ? *amount : *amount / double(compound.parts.size())) : 0;
    QList<RxLine> lines;
    for (const auto &[part, count] : herbs) {
        RxLine expanded = line;
        expanded.name = herbs.size() == 1 ? ds::aliasKey(line.name) : part.written;
        if (amount)
            expanded.dose = amountText(perPart * count);
        lines.append(expanded);
    }
    return lines;
}

QList<RxLine> linesFromText(const QString &text, const CompoundLookup &compounds)
{
    const formulas::Composition read = formulas::parseComposition(text);
    QList<std::pair<qsizetype, QList<RxLine>>> placed;
    for (const formulas::Ingredient &item : read.ingredients) {
        const RxLine line = lineOf(item);
        if (const CompoundName *compound = compounds.find(item.name))
            placed.append({item.position, expandCompound(line, *compound, doseIsEach(text, item))});
        else
            placed.append({item.position, {line}});
    }
    for (const formulas::UnreadFragment &fragment : read.unread)
        placed.append({fragment.position, {RxLine{fragment.text, {}, {}, {}}}});
    std::stable_sort(placed.begin(), placed.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    QList<RxLine> lines;
    for (const auto &[position, some] : placed)
        lines.append(some);
    return lines;
}

QList<formulas::Ingredient> ingredientsOf(const QList<RxLine> &lines)
{
    QList<formulas::Ingredient> ingredients;
    for (const RxLine &line : lines) {
        if (line.name.trimmed().isEmpty())
            continue;
        formulas::Ingredient item;
        item.name = line.name.trimmed();
        const std::optional<double> amount = line.amount();
        item.amountText = amount ? amountText(*amount) : line.dose.trimmed();
        item.amount = amount.value_or(0);
        item.unit = amount ? doseUnit(line.unit) : QString();
        item.note = line.note.trimmed();
        ingredients.append(item);
    }
    return ingredients;
}

} // namespace rx
