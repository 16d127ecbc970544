#include "prescription/prescription_check.h"

#include "formulas/herb_names.h"
#include "prescription/dose_range.h"

#include <QMap>

#include <algorithm>

namespace rx {
namespace {

const QString kListComma(QChar(0x3001));

QString pairKey(const QString &a, const QString &b)
{
    return a < b ? a + QLatin1Char('\t') + b : b + QLatin1Char('\t') + a;
}

Finding finding(Rule rule, Level level, QList<int> lines, const QString &body, const QString &note = QString())
{
    std::sort(lines.begin(), lines.end());
    lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
    Finding found;
    found.rule = rule;
    found.level = level;
    found.lines = lines;
    found.text = QStringLiteral("%1（%2）：%3%4").arg(ruleWord(rule), levelWord(level), body, note);
    found.brief = QStringLiteral("%1：%2").arg(ruleWord(rule), body);
    return found;
}

Level overdoseLevel(Toxicity toxicity)
{
    switch (toxicity) {
    case Toxicity::Toxic:
    case Toxicity::Severe:
        return Level::Forbidden;
    case Toxicity::Slight:
        return Level::Caution;
    case Toxicity::None:
        break;
    }
    return Level::Note;
}

const QString &noRangeText()
{
    static const QString text = QStringLiteral("用法中没有能读出的用量（如“3～9克”），剂量无从核对");
    return text;
}

} // namespace

QString ruleWord(Rule rule)
{
    switch (rule) {
    case Rule::EighteenOpposed:
        return ruleWord(IncompatibilityRule::EighteenOpposed);
    case Rule::NineteenFeared:
        return ruleWord(IncompatibilityRule::NineteenFeared);
    case Rule::PregnancyForbidden:
        return QStringLiteral("妊娠禁用");
    case Rule::PregnancyCaution:
        return QStringLiteral("妊娠慎用");
    case Rule::Overdose:
        return QStringLiteral("超量");
    case Rule::Toxic:
        return QStringLiteral("毒性");
    case Rule::Duplicate:
        return QStringLiteral("重复");
    case Rule::Unknown:
        break;
    }
    return QStringLiteral("未知");
}

QString levelWord(Level level)
{
    switch (level) {
    case Level::Forbidden:
        return QStringLiteral("禁忌");
    case Level::Caution:
        return QStringLiteral("慎用");
    case Level::Note:
        break;
    }
    return QStringLiteral("提示");
}

bool dosesPerDecoction(const QString &usage)
{
    if (usage.contains(QStringLiteral("煎服")))
        return true;
    for (const char16_t *batch : {u"散", u"丸", u"膏", u"末"}) {
        if (usage.contains(QString::fromUtf16(batch)))
            return false;
    }
    return true;
}

// One herb of a line: a line of a compound name gives one item a herb of it.
struct PrescriptionCheck::Item {
    int line = 0;
    QString written;  // the name as written, or the compound's part as the table writes it
    QString compound; // the compound name it is part of; empty for a name of its own
    formulas::NameKind kind = formulas::NameKind::Unknown;
    QStringList herbs; // one, or two for an alias of two herbs (芍药)
    std::optional<double> amount;
    QString unit;

    // "川军（大黄）", "焦三仙中的焦山楂（山楂）", "甘草".
    QString shown(const QString &herb) const
    {
        const QString name = compound.isEmpty() ? written : QStringLiteral("%1中的%2").arg(compound, written);
        return written == herb || herb.isEmpty() ? name : QStringLiteral("%1（%2）").arg(name, herb);
    }
    QString shown() const { return shown(herbs.join(QStringLiteral("或"))); }
};

PrescriptionCheck::PrescriptionCheck(const formulas::HerbNames &names, const HerbFactTable &facts,
                                     const PrescriptionTables &tables, const CompoundLookup &compounds,
                                     const formulas::ProcessedForms &forms)
    : m_names(&names)
    , m_facts(&facts)
    , m_compounds(&compounds)
    , m_forms(&forms)
{
    for (const IncompatiblePair &pair : tables.incompatibilities.pairs) {
        for (const QString &a : pair.first) {
            for (const QString &b : pair.second)
                m_pairs.insert(pairKey(a, b), {pair.rule, {}});
        }
    }
    for (const ClassicalPairing &classical : tables.incompatibilities.classical) {
        for (const QString &a : classical.first) {
            for (const QString &b : classical.second) {
                const auto pair = m_pairs.find(pairKey(a, b));
                if (pair != m_pairs.end() && !pair->classical.contains(classical.formula))
                    pair->classical.append(classical.formula);
            }
        }
    }
    for (const PregnancyEntry &entry : tables.pregnancy)
        m_pregnancy.insert(entry.herb, entry.level);
}

QList<PrescriptionCheck::Item> PrescriptionCheck::itemsOf(const QList<RxLine> &lines) const
{
    QList<Item> items;
    for (int i = 0; i < int(lines.size()); ++i) {
        const RxLine &line = lines[i];
        const QString name = ds::aliasKey(line.name);
        if (name.isEmpty())
            continue;
        // A compound name first: 二丑 is also an alias, and stands for the compound's one herb.
        const CompoundName *compound = m_compounds->find(name);
        const QList<RxLine> parts = compound ? expandCompound(line, *compound) : QList<RxLine>{line};
        for (const RxLine &part : parts) {
            Item item;
            item.line = i;
            item.written = ds::aliasKey(part.name);
            if (compound && parts.size() > 1)
                item.compound = name;
            const formulas::ResolvedName resolved = m_names->resolve(item.written);
            item.kind = resolved.kind;
            item.herbs = resolved.herbs;
            item.amount = part.amount();
            item.unit = doseUnit(part.unit);
            items.append(item);
        }
    }
    return items;
}

QStringList PrescriptionCheck::cautionsOf(const QStringList &herbs) const
{
    QStringList cautions;
    for (const QString &herb : herbs) {
        const HerbFacts *facts = m_facts->find(herb);
        const QString line = facts && !facts->cautions.isEmpty() ? QStringLiteral("%1：%2").arg(herb, facts->cautions) : QString();
        if (!line.isEmpty() && !cautions.contains(line))
            cautions.append(line);
    }
    return cautions;
}

void PrescriptionCheck::incompatibilities(const QList<Item> &items, QList<Finding> &found) const
{
    for (qsizetype i = 0; i < items.size(); ++i) {
        for (qsizetype j = i + 1; j < items.size(); ++j) {
            const Item &first = items[i];
            const Item &second = items[j];
            bool told = false;
            for (const QString &a : first.herbs) {
                for (const QString &b : second.herbs) {
                    const auto pair = m_pairs.constFind(pairKey(a, b));
                    if (told || pair == m_pairs.cend())
                        continue;
                    told = true;
                    const bool opposed = pair->rule == IncompatibilityRule::EighteenOpposed;
                    const QString note = pair->classical.isEmpty()
                                             ? QString()
                                             : QStringLiteral("；古方%1即有此配伍").arg(pair->classical.join(kListComma));
                    Finding f = finding(opposed ? Rule::EighteenOpposed : Rule::NineteenFeared, Level::Forbidden,
                                        {first.line, second.line},
                                        QStringLiteral("%1与%2%3").arg(first.shown(a), second.shown(b),
                                                                      opposed ? QStringLiteral("相反") : QStringLiteral("相畏")),
                                        note);
                    f.cautions = cautionsOf({a, b});
                    found.append(f);
                }
            }
        }
    }
}

void PrescriptionCheck::pregnancy(const QList<Item> &items, QList<Finding> &found) const
{
    // One finding a herb, however many lines name it.
    QMap<qsizetype, QString> order; // first item → herb
    QHash<QString, QList<const Item *>> byHerb;
    for (qsizetype i = 0; i < items.size(); ++i) {
        for (const QString &herb : items[i].herbs) {
            if (!m_pregnancy.contains(herb))
                continue;
            if (!byHerb.contains(herb))
                order.insert(i, herb);
            byHerb[herb].append(&items[i]);
        }
    }
    for (const QString &herb : std::as_const(order)) {
        const bool forbidden = m_pregnancy.value(herb) == PregnancyLevel::Forbidden;
        QStringList names;
        QList<int> lines;
        for (const Item *item : byHerb.value(herb)) {
            names.append(item->shown(herb));
            lines.append(item->line);
        }
        Finding f = finding(forbidden ? Rule::PregnancyForbidden : Rule::PregnancyCaution,
                            forbidden ? Level::Forbidden : Level::Caution, lines,
                            QStringLiteral("%1孕妇%2").arg(names.join(kListComma), levelWord(m_pregnancy.value(herb))));
        f.cautions = cautionsOf({herb});
        found.append(f);
    }
}

void PrescriptionCheck::doses(const QList<Item> &items, bool perDecoction, QList<Finding> &found) const
{
    // The lines of each herb, in the order first written; an alias of two herbs has no one range.
    QStringList order;
    QHash<QString, QList<const Item *>> byHerb;
    for (const Item &item : items) {
        if (item.herbs.size() != 1)
            continue;
        if (!byHerb.contains(item.herbs[0]))
            order.append(item.herbs[0]);
        byHerb[item.herbs[0]].append(&item);
    }
    for (const QString &herb : std::as_const(order)) {
        const HerbFacts *facts = m_facts->find(herb);
        if (!facts)
            continue;
        const QList<const Item *> &lines = byHerb[herb];
        QStringList names;
        QList<int> lineNumbers;
        for (const Item *item : lines) {
            names.append(item->shown(herb));
            lineNumbers.append(item->line);
        }
        const std::optional<DoseRange> range = doseRange(facts->usage);
        const bool toxic = facts->toxicity == Toxicity::Toxic || facts->toxicity == Toxicity::Severe;
        if (toxic) {
            const QString what = range ? QStringLiteral("，用法所载用量%1").arg(range->text) : QStringLiteral("，") + noRangeText();
            Finding f = finding(Rule::Toxic, Level::Note, lineNumbers,
                                names.join(kListComma) + toxicityWord(facts->toxicity) + what);
            f.cautions = cautionsOf({herb});
            found.append(f);
        }
        if (!perDecoction)
            continue;
        bool dosed = false;
        double total = 0;
        for (const Item *item : lines) {
            dosed = dosed || item->amount.has_value();
            if (item->amount && range && item->unit == range->unit)
                total += *item->amount;
        }
        if (!range) {
            // Said once, by the 毒性 finding for a toxic herb.
            if (dosed && !toxic)
                found.append(finding(Rule::Overdose, Level::Note, lineNumbers,
                                     QStringLiteral("%1的").arg(names.join(kListComma)) + noRangeText()));
            continue;
        }
        if (total <= range->high * (1 + 1e-9))
            continue;
        Finding f = finding(Rule::Overdose, overdoseLevel(facts->toxicity), lineNumbers,
                            QStringLiteral("%1%2%3%4，超过用法所载用量%5的上限")
                                .arg(names.join(kListComma), lines.size() > 1 ? QStringLiteral("共") : QString(),
                                     amountText(total), range->unit, range->text));
        f.cautions = cautionsOf({herb});
        found.append(f);
    }
}

void PrescriptionCheck::duplicates(const QList<Item> &items, QList<Finding> &found) const
{
    QStringList order;
    QHash<QString, QList<const Item *>> byRoot;
    for (const Item &item : items) {
        if (item.herbs.size() != 1)
            continue;
        const QString root = m_forms->rootOf(item.herbs[0]);
        if (!byRoot.contains(root))
            order.append(root);
        byRoot[root].append(&item);
    }
    for (const QString &root : std::as_const(order)) {
        const QList<const Item *> &same = byRoot[root];
        QStringList names;
        QList<int> lines;
        QStringList herbs;
        for (const Item *item : same) {
            names.append(item->shown());
            if (!lines.contains(item->line))
                lines.append(item->line);
            if (!herbs.contains(item->herbs[0]))
                herbs.append(item->herbs[0]);
        }
        if (lines.size() < 2)
            continue;
        const QString what = herbs.size() == 1 ? QStringLiteral("是同一味药")
                                                : QStringLiteral("同是%1（原药与炮制品）").arg(root);
        found.append(finding(Rule::Duplicate, Level::Note, lines, names.join(kListComma) + what));
    }
}

QList<Finding> PrescriptionCheck::check(const Prescription &prescription) const
{
    const QList<Item> items = itemsOf(prescription.lines);
    QList<Finding> found;
    incompatibilities(items, found);
    if (prescription.pregnant)
        pregnancy(items, found);
    doses(items, dosesPerDecoction(prescription.usage), found);
    duplicates(items, found);
    QList<int> unknownLines;
    for (const Item &item : items) {
        if (item.kind != formulas::NameKind::Unknown || unknownLines.contains(item.line))
            continue;
        unknownLines.append(item.line);
        Finding f = finding(Rule::Unknown, Level::Note, {item.line},
                            QStringLiteral("“%1”不是药材表中的药名、别名或辅料，请核对").arg(item.shown()));
        f.brief = item.shown();
        found.append(f);
    }
    std::stable_sort(found.begin(), found.end(), [](const Finding &a, const Finding &b) {
        return std::pair(a.level, a.rule) < std::pair(b.level, b.rule);
    });
    return found;
}

QStringList printQuestions(const QList<Finding> &findings)
{
    QStringList forbidden;
    QStringList unknown;
    for (const Finding &f : findings) {
        if (f.level == Level::Forbidden)
            forbidden.append(f.brief);
        else if (f.rule == Rule::Unknown)
            unknown.append(f.brief);
    }
    QStringList questions;
    if (!forbidden.isEmpty())
        questions.append(QStringLiteral("处方中有配伍禁忌：%1。仍要打印吗？").arg(forbidden.join(QStringLiteral("；"))));
    if (!unknown.isEmpty())
        questions.append(QStringLiteral("处方中有药材表里没有的药名：“%1”。仍要打印吗？").arg(unknown.join(QStringLiteral("”、“"))));
    return questions;
}

} // namespace rx
