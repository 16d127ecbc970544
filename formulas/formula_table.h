#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace ds {
class Database;
}

namespace formulas {

class HerbNames;

// Column positions of 中医方剂; the order is part of the data file's format.
enum FormulaField : int {
    kFormulaName = 0, // 方剂名称
    kComposition = 1, // 方剂组成
    kEffects = 2,     // 方剂功用
    kIndications = 3, // 方剂主治
    kUsage = 4,       // 方剂用法
    kSource = 5,      // 方剂来源
    kChapter = 6,     // 方剂备注: the chapter and section, 解表剂·辛温解表
    kNotes = 7,       // 方剂心得
};
inline constexpr int kFormulaFieldCount = 8;
using FormulaRecord = std::array<QString, kFormulaFieldCount>;

inline const QString kFormulaTable = QStringLiteral("中医方剂");
// The chapter of the clinic's own formulas (协定方).
inline const QString kClinicChapter = QStringLiteral("本院协定方");

// The chapter of a stored 方剂备注: the part before the first "·" ("解表剂"), without a final
// "。"; the import's single space gives the empty text.
QString chapterOf(const QString &remark);

// What stands in the way of storing a typed composition: the names no herb, alias or 辅料 is
// called by, and the parts that cannot be read; both empty when it can be stored.
struct CompositionCheck {
    QStringList unknownNames;
    QStringList unreadable;
    bool empty = false; // no ingredient at all
    bool fits() const { return unknownNames.isEmpty() && unreadable.isEmpty() && !empty; }
    // The refusal as the clinic's staff read it; empty when it fits.
    QString message() const;
};
CompositionCheck checkComposition(const QString &typed, const HerbNames &names);

// The eight stored texts of the formula with that typed name (its stored form first, then the
// name as typed without spaces, for rows other programs wrote), or nothing.
std::optional<FormulaRecord> findFormula(ds::Database &db, const QString &typedName);

// Writes a clinic's formula: every text in stored form, the composition in its one stored form
// (names as written: 云苓 stays 云苓), an empty chapter as kClinicChapter. A composition that does
// not fit is refused (ds::RunError ValidationRuleViolated with the check's message); so is a name
// another stored formula has (DuplicateName). Nothing is written then.
enum class FormulaSave { Added, AlreadyStored };
FormulaSave addFormula(ds::Database &db, FormulaRecord texts, const HerbNames &names);
// Replaces the formula stored as storedName (it may be renamed, to a name no other formula has);
// false when no such formula is stored.
bool changeFormula(ds::Database &db, const QString &storedName, FormulaRecord texts, const HerbNames &names);
// Removes the formula with that typed name; false when none is stored.
bool deleteFormula(ds::Database &db, const QString &typedName);

} // namespace formulas
