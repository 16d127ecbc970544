#pragma once

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

namespace rx {

// 十八反 and 十九畏.
enum class IncompatibilityRule { EighteenOpposed, NineteenFeared };

// The rule's word, as a finding begins with it.
QString ruleWord(IncompatibilityRule rule);

// One line of the table: every herb of one group is incompatible with every herb of the other.
struct IncompatiblePair {
    int line = 0;
    IncompatibilityRule rule = IncompatibilityRule::EighteenOpposed;
    QStringList first;
    QStringList second;
};

// A classical formula that holds herbs of an incompatible pair on purpose: a finding between a
// herb of first and one of second may say that this formula has it.
struct ClassicalPairing {
    int line = 0;
    QString formula;
    QStringList first;
    QStringList second;
};

struct IncompatibilityTable {
    QList<IncompatiblePair> pairs;
    QList<ClassicalPairing> classical;
};

// Reads data/incompatibilities.tsv: "十八反" or "十九畏", a tab, one group and a tab, the other;
// or "古方", the formula, and its two groups; groups separated by "、". A line of another kind or
// column count, a herb in both groups of a line, a pair of herbs on two lines, and a classical
// pairing of herbs that no line makes incompatible throw ds::RunError naming label and line.
// Given the shipped herbs' names (without "。"), a herb that is none of them is refused too.
IncompatibilityTable parseIncompatibilities(const QString &text, const QString &label,
                                            const QSet<QString> *shippedHerbs = nullptr);

} // namespace rx
