#include "prescription/dose_range.h"

#include <QRegularExpression>
#include <QStringList>

namespace rx {
namespace {

const QString kFigure = QStringLiteral("(\\d+(?:\\.\\d+)?)");
const QString kUnits = QStringLiteral("(克|g|G|毫升|ml|mL|ML|枚|个|片|粒|只|条)");

const QRegularExpression &rangePattern()
{
    static const QRegularExpression pattern(kFigure + QStringLiteral("\\s*(?:～|~|〜|-|－|–|—|至|到)\\s*") + kFigure
                                            + QStringLiteral("\\s*") + kUnits);
    return pattern;
}

const QRegularExpression &amountPattern()
{
    static const QRegularExpression pattern(kFigure + QStringLiteral("\\s*") + kUnits);
    return pattern;
}

// Whether the clause speaks of a decoction, and not of keeping the herb out of one.
bool saysDecoction(const QString &clause)
{
    if (!clause.contains(QChar(0x714E))) // 煎
        return false;
    for (const char16_t *refusal : {u"不宜入煎", u"不入煎", u"不宜煎"}) {
        if (clause.contains(QString::fromUtf16(refusal)))
            return false;
    }
    return true;
}

// A clause of the 用法: its text with ASCII digits for matching, and where it stands in the
// text as written, whose words a finding quotes.
struct Clause {
    QString matched;
    qsizetype start = 0;
};

QList<Clause> clausesOf(const QString &usage)
{
    static const QRegularExpression ends(QStringLiteral("[。；;\\n]"));
    const QString folded = asciiTwins(usage);
    QList<Clause> clauses;
    qsizetype start = 0;
    while (start <= folded.size()) {
        qsizetype end = folded.indexOf(ends, start);
        if (end < 0)
            end = folded.size();
        if (end > start)
            clauses.append({folded.mid(start, end - start), start});
        start = end + 1;
    }
    return clauses;
}

std::optional<DoseRange> readIn(const QString &usage, const Clause &clause, const QRegularExpression &pattern)
{
    const QRegularExpressionMatch found = pattern.match(clause.matched);
    if (!found.hasMatch())
        return std::nullopt;
    const bool single = found.lastCapturedIndex() == 2;
    DoseRange range{found.captured(1).toDouble(), found.captured(single ? 1 : 2).toDouble(),
                    doseUnit(found.captured(single ? 2 : 3)),
                    usage.mid(clause.start + found.capturedStart(0), found.capturedLength(0))};
    if (range.high < range.low)
        return std::nullopt;
    return range;
}

} // namespace

QString doseUnit(const QString &written)
{
    const QString unit = asciiTwins(written).trimmed();
    if (unit.isEmpty() || unit.compare(QLatin1String("g"), Qt::CaseInsensitive) == 0 || unit == QStringLiteral("克"))
        return QStringLiteral("g");
    if (unit.compare(QLatin1String("ml"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("毫升");
    return unit;
}

QString asciiTwins(const QString &text)
{
    QString out = text;
    for (QChar &c : out) {
        const char16_t u = c.unicode();
        if (u >= 0xFF01 && u <= 0xFF5E)
            c = QChar(char16_t(u - 0xFEE0));
    }
    return out;
}

QString amountText(double amount)
{
    return QString::number(amount, 'g', 10);
}

std::optional<DoseRange> doseRange(const QString &usage)
{
    const QList<Clause> clauses = clausesOf(usage);
    for (const Clause &clause : clauses) {
        if (saysDecoction(clause.matched)) {
            if (const std::optional<DoseRange> range = readIn(usage, clause, rangePattern()))
                return range;
        }
    }
    for (const QRegularExpression *pattern : {&rangePattern(), &amountPattern()}) {
        for (const Clause &clause : clauses) {
            if (clause.matched.contains(QStringLiteral("外用")))
                continue;
            if (const std::optional<DoseRange> range = readIn(usage, clause, *pattern))
                return range;
        }
    }
    return std::nullopt;
}

} // namespace rx
