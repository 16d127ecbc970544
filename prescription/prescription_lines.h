#pragma once

#include "prescription/compound_names.h"

#include <QHash>
#include <QList>
#include <QString>

#include <optional>

namespace formulas {
struct Ingredient;
}

namespace rx {

// One herb line of a prescription as the doctor writes it: 柴胡, 12, g, 先煎.
struct RxLine {
    QString name;
    QString dose; // the figure ("12", "1.5"), or 适量/少许, or empty
    QString unit; // g, 枚, 片 …; empty reads as g
    QString note; // 先煎, 后下, 包煎 …

    bool isEmpty() const { return name.trimmed().isEmpty() && dose.trimmed().isEmpty() && note.trimmed().isEmpty(); }
    // The dose's figure (full-width digits read too); nothing for 适量, an empty or unreadable dose.
    std::optional<double> amount() const;
    bool operator==(const RxLine &other) const = default;
};

// The compound names (焦三仙, 二冬 …) by every name they are written as.
class CompoundLookup {
public:
    CompoundLookup() = default;
    explicit CompoundLookup(const QList<CompoundName> &compounds);
    // By the name without spaces and final "。"; nullptr for a name that is no compound.
    const CompoundName *find(const QString &written) const;

private:
    QList<CompoundName> m_compounds;
    QHash<QString, qsizetype> m_index;
};

// The shipped table's compounds.
const CompoundLookup &shippedCompounds();

// The lines a compound-named line stands for, one a herb: the dose is the total, shared equally,
// unless each is set (written with 各: each herb takes the dose). Parts that are one herb (二丑:
// 黑丑 and 白丑) make one line, written as the compound name, their doses added.
QList<RxLine> expandCompound(const RxLine &line, const CompoundName &compound, bool each = false);

// A typed or pasted prescription as lines, in the order written: the composition reader's forms
// (柴胡12g、黄芩9g; one a line; separated by spaces; 各; notes), compound names expanded, and
// every part that cannot be read kept as a line of its own holding the text as written, which
// the check then names as unknown: nothing pasted is lost.
QList<RxLine> linesFromText(const QString &text, const CompoundLookup &compounds = shippedCompounds());

// The lines as a composition the formula table stores; empty lines left out.
QList<formulas::Ingredient> ingredientsOf(const QList<RxLine> &lines);

} // namespace rx
