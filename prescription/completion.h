#pragma once

#include "prescription/herb_facts.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <vector>

namespace ds {
class AliasTable;
}

namespace rx {

// One entry of the list a herb name offers as it is typed.
struct CompletionEntry {
    QString herb;    // the herb's own name
    QString matched; // the name the typed text matched: the herb's own, or one of its aliases
    Toxicity toxicity = Toxicity::None;
    QString written; // what taking the entry writes: matched, or the herb's name for an alias of
                     // two herbs (芍药), which would leave the line undecided

    // As the list shows it: "茯苓", "云苓 → 茯苓", "法夏 → 法半夏（有毒）".
    QString text() const;
};

// The stored names and aliases of the herbs of one data file, ready for completion at every
// keystroke: made once (each name's pinyin initials are worked out then), asked many times. The
// alias table must outlive it.
class CompletionIndex {
public:
    CompletionIndex() = default;
    CompletionIndex(const HerbFactTable &facts, const ds::AliasTable &aliases);

    // Typed letters (any case) match the start of a name's pinyin initials ("c", "ch", "yl"); other
    // text the start of a name or alias, then a herb's own name anywhere ("半夏" offers 法半夏).
    // Exact matches first, then those that go on; within each, herbs' own names before aliases,
    // in the order of the herb table. At most limit entries.
    QList<CompletionEntry> complete(const QString &typed, int limit = 20) const;

private:
    struct Name {
        QString text;
        QByteArray initials;
        int herb = 0;
        bool alias = false;
    };
    CompletionEntry entry(const Name &name) const;
    bool matches(const Name &name, const QString &text, const QByteArray &initials, bool exact) const;

    std::vector<Name> m_names;
    // Into m_names, in the herb table's order, by the first letter of the initials and by the
    // first character: a keystroke looks at the names of its bucket only, and nothing is sorted.
    QHash<char, std::vector<int>> m_byLetter;
    QHash<QChar, std::vector<int>> m_byCharacter;
    std::vector<int> m_herbNames; // into m_names: the herbs' own names
    QList<Toxicity> m_toxicity;   // by herb
    QStringList m_herbs;
    const ds::AliasTable *m_aliases = nullptr;
};

} // namespace rx
