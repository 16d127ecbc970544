#include "prescription/incompatibility_table.h"

#include "prescription/table_lines.h"

#include <QHash>

namespace rx {
namespace {

const QString kClassical = QStringLiteral("古方");

// The line on which each pair of herbs, in either order, was first made incompatible.
using PairLines = QHash<QString, int>;

QString pairKey(const QString &a, const QString &b)
{
    return a < b ? a + QLatin1Char('\t') + b : b + QLatin1Char('\t') + a;
}

void addPairs(const TableLine &line, const QStringList &first, const QStringList &second, PairLines &seen)
{
    for (const QString &a : first) {
        if (second.contains(a))
            refuseLine(line, QStringLiteral("%1 in both groups").arg(a));
        for (const QString &b : second) {
            const auto earlier = seen.constFind(pairKey(a, b));
            if (earlier != seen.cend())
                refuseLine(line, QStringLiteral("%1 × %2 again, first at line %3").arg(a, b).arg(*earlier));
            seen.insert(pairKey(a, b), line.number);
        }
    }
}

} // namespace

QString ruleWord(IncompatibilityRule rule)
{
    return rule == IncompatibilityRule::EighteenOpposed ? QStringLiteral("十八反") : QStringLiteral("十九畏");
}

IncompatibilityTable parseIncompatibilities(const QString &text, const QString &label, const QSet<QString> *shippedHerbs)
{
    IncompatibilityTable table;
    PairLines pairLines;
    QList<TableLine> classicalLines;
    for (const TableLine &line : tableLines(text, label)) {
        const QString kind = line.columns[0];
        if (kind == kClassical) {
            if (line.columns.size() != 4)
                refuseLine(line, QStringLiteral("古方 needs 4 columns: 古方, the formula and two groups"));
            table.classical.append({line.number, checkedName(line, line.columns[1]), herbList(line, 2, shippedHerbs),
                                    herbList(line, 3, shippedHerbs)});
            classicalLines.append(line);
            continue;
        }
        IncompatiblePair pair;
        pair.line = line.number;
        if (kind == ruleWord(IncompatibilityRule::NineteenFeared))
            pair.rule = IncompatibilityRule::NineteenFeared;
        else if (kind != ruleWord(IncompatibilityRule::EighteenOpposed))
            refuseLine(line, QStringLiteral("\"%1\" is neither 十八反, 十九畏 nor 古方").arg(kind));
        if (line.columns.size() != 3)
            refuseLine(line, QStringLiteral("%1 needs 3 columns: the rule and two groups").arg(kind));
        pair.first = herbList(line, 1, shippedHerbs);
        pair.second = herbList(line, 2, shippedHerbs);
        addPairs(line, pair.first, pair.second, pairLines);
        table.pairs.append(pair);
    }
    // A classical pairing may stand before the lines it refers to.
    for (qsizetype i = 0; i < table.classical.size(); ++i) {
        for (const QString &a : std::as_const(table.classical[i].first)) {
            for (const QString &b : std::as_const(table.classical[i].second)) {
                if (!pairLines.contains(pairKey(a, b)))
                    refuseLine(classicalLines[i], QStringLiteral("%1 × %2 is no incompatible pair").arg(a, b));
            }
        }
    }
    return table;
}

} // namespace rx
