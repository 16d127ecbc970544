#pragma once

#include "formulas/name_tables.h"
#include "prescription/herb_facts.h"
#include "prescription/prescription_lines.h"
#include "prescription/shipped_tables.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace formulas {
class HerbNames;
}

namespace rx {

// What a finding is about, in the order a list of findings gives them within one level.
enum class Rule {
    EighteenOpposed,    // 十八反
    NineteenFeared,     // 十九畏
    PregnancyForbidden, // 妊娠禁用
    PregnancyCaution,   // 妊娠慎用
    Overdose,           // 超量: above the 用法's maximum, or no maximum to be read
    Toxic,              // 毒性: a herb marked 有毒 or 有大毒, with its range, whatever its dose
    Duplicate,          // 重复: one drug twice, under two names or with its processed form
    Unknown,            // 未知: a name no herb, alias, compound name or 辅料 is called by
};
QString ruleWord(Rule rule);

// 禁忌: not to be given as written; 慎用: only with care; 提示: to be looked at.
enum class Level { Forbidden, Caution, Note };
QString levelWord(Level level);

// One finding: its text begins with the rule's word and names the level ("十八反（禁忌）：甘草 与
// 甘遂 相反"), the herbs as the doctor wrote them with the herb's own name where it differs
// ("川军（大黄）"); cautions holds each herb's 宜忌 ("甘遂：…").
struct Finding {
    Rule rule = Rule::Unknown;
    Level level = Level::Note;
    QList<int> lines; // the lines it is about, by index
    QString text;
    QString brief; // for a question, without level and notes: "十八反：甘草与甘遂相反"; the name alone
                   // for 未知
    QStringList cautions;
};

struct Prescription {
    QList<RxLine> lines;
    bool pregnant = false;
    QString usage; // 用法 of the whole prescription
};

// Whether the doses are one day's decoction, which the 用法 ranges of the herb texts are given
// for: yes for an empty 用法 and one that says 煎服; no for a 散, 丸, 膏 or powder (末), whose
// doses are the whole batch's.
bool dosesPerDecoction(const QString &usage);

// The check of a prescription against the herbs of one data file and the shipped tables. Made
// once per state of the data file (it reads and indexes what every check needs); a check then
// reads nothing. The tables must outlive it.
class PrescriptionCheck {
public:
    PrescriptionCheck(const formulas::HerbNames &names, const HerbFactTable &facts,
                      const PrescriptionTables &tables = shippedTables(),
                      const CompoundLookup &compounds = shippedCompounds(),
                      const formulas::ProcessedForms &forms = formulas::shippedProcessedForms());

    // The findings, 禁忌 first, then 慎用, then 提示; within a level in the order of Rule.
    QList<Finding> check(const Prescription &prescription) const;

private:
    struct Pair {
        IncompatibilityRule rule;
        QStringList classical; // the classical formulas that hold the pair on purpose
    };
    struct Item;
    QList<Item> itemsOf(const QList<RxLine> &lines) const;
    void incompatibilities(const QList<Item> &items, QList<Finding> &found) const;
    void pregnancy(const QList<Item> &items, QList<Finding> &found) const;
    void doses(const QList<Item> &items, bool perDecoction, QList<Finding> &found) const;
    void duplicates(const QList<Item> &items, QList<Finding> &found) const;
    QStringList cautionsOf(const QStringList &herbs) const;

    const formulas::HerbNames *m_names;
    const HerbFactTable *m_facts;
    const CompoundLookup *m_compounds;
    const formulas::ProcessedForms *m_forms;
    QHash<QString, Pair> m_pairs;
    QHash<QString, PregnancyLevel> m_pregnancy;
};

// The questions asked before a sheet is printed, in turn: one when a finding is 禁忌
// ("处方中有配伍禁忌：……。仍要打印吗？"), one when a name is unknown; none for a sheet without.
QStringList printQuestions(const QList<Finding> &findings);

} // namespace rx
