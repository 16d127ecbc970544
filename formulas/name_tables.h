#pragma once

#include "datastore/herb_aliases.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

// The small tables the program carries in its resources beside the herb alias table, each
// checked by the seed build against the herbs and formulas it ships.
namespace formulas {

// One line of the 辅料 table: a food or vehicle of formulas that is no herb (粳米, 黄酒).
struct Auxiliary {
    int line = 0; // counted from 1
    QString name;
    QString note; // what it is
};

// Reads the 辅料 table: one name a line, a tab, a short note; "#" lines and blank lines skipped.
// A line without tab or note, a name holding a space or "。", or a name twice throws
// ds::RunError naming label and line; so does a name of takenNames (the herbs' names and
// aliases, which a 辅料 must not shadow) when given.
QList<Auxiliary> parseAuxiliaries(const QString &text, const QString &label, const QSet<QString> *takenNames = nullptr);

class AuxiliaryTable {
public:
    AuxiliaryTable() = default;
    explicit AuxiliaryTable(const QList<Auxiliary> &lines);

    // By the name as written, with or without spaces at its ends and a final "。".
    bool contains(const QString &name) const { return m_notes.contains(ds::aliasKey(name)); }
    QString noteOf(const QString &name) const { return m_notes.value(ds::aliasKey(name)); }
    // In the table's order.
    const QStringList &names() const { return m_names; }

private:
    QStringList m_names;
    QHash<QString, QString> m_notes;
};

const AuxiliaryTable &shippedAuxiliaries();

// Reads the table of processed forms, in the alias table's format: the parent herb, a tab, its
// processed forms separated by "、" (半夏	法半夏、姜半夏、清半夏). Given the shipped herbs' names
// (without "。"), it also refuses a parent or form that is none of them, a form under two
// parents and a form that is a parent itself.
QList<ds::AliasLine> parseProcessedForms(const QString &text, const QString &label,
                                         const QSet<QString> *shippedHerbs = nullptr);

// Processed form and parent, both herbs of the table: what a search for a herb also finds, and
// what the prescription check calls the same drug twice. Names are taken with or without their
// final "。" and given without it.
class ProcessedForms {
public:
    ProcessedForms() = default;
    explicit ProcessedForms(const QList<ds::AliasLine> &lines);

    // 半夏 → 法半夏, 姜半夏, 清半夏; none for a herb that is no parent.
    QStringList formsOf(const QString &parent) const { return m_forms.value(ds::aliasKey(parent)); }
    // 法半夏 → 半夏; empty for a herb that is no processed form.
    QString parentOf(const QString &form) const { return m_parents.value(ds::aliasKey(form)); }
    // The herb and its processed forms, what a search for it finds: 半夏 → 半夏, 法半夏, 姜半夏,
    // 清半夏; 法半夏 → 法半夏 alone.
    QStringList withForms(const QString &herb) const { return QStringList{ds::aliasKey(herb)} + formsOf(herb); }
    // The parent of a form, any other herb itself: two herbs with one root are one drug.
    QString rootOf(const QString &herb) const;

private:
    QHash<QString, QStringList> m_forms;
    QHash<QString, QString> m_parents;
};

const ProcessedForms &shippedProcessedForms();

// The formulas' short names (六味丸 → 六味地黄丸), in the herb alias table's format and read by
// the same class: herbsNamedBy gives the formulas a name stands for, herbsMatching those a typed
// part (from a short name's start) or pinyin initials match. The seed build refuses a line whose formula it does not ship and an alias that
// is another formula's name.
const ds::AliasTable &shippedFormulaAliases();

} // namespace formulas
