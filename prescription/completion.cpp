#include "prescription/completion.h"

#include "datastore/herb_aliases.h"
#include "datastore/pinyin_initials.h"

#include <QHash>
#include <QSet>


namespace rx {
namespace {

// Working out initials costs a few microseconds a name: a data file read again after a change
// only works out the names it has not met before. A name with a reading of its own (重楼 cl) is
// also found by its everyday one (zl).
const QList<QByteArray> &initialsOf(const QString &name)
{
    static QHash<QString, QList<QByteArray>> known;
    auto found = known.find(name);
    if (found == known.end())
        found = known.insert(name, ds::searchedInitials(name).toLatin1().split(' '));
    return *found;
}

} // namespace

QString CompletionEntry::text() const
{
    QString shown = matched == herb ? herb : QStringLiteral("%1 → %2").arg(matched, herb);
    if (toxicity != Toxicity::None)
        shown += QStringLiteral("（%1）").arg(toxicityWord(toxicity));
    return shown;
}

CompletionIndex::CompletionIndex(const HerbFactTable &facts, const ds::AliasTable &aliases)
    : m_aliases(&aliases)
{
    const auto add = [this](const QString &text, int herb, bool alias) {
        const int first = int(m_names.size());
        for (const QByteArray &initials : initialsOf(text)) {
            const int index = int(m_names.size());
            m_names.push_back({text, initials, herb, alias});
            if (!initials.isEmpty())
                m_byLetter[initials[0]].push_back(index);
        }
        m_byCharacter[text[0]].push_back(first);
        return first;
    };
    for (const HerbFacts &herb : facts.all()) {
        const int index = int(m_herbs.size());
        m_herbs.append(herb.name);
        m_toxicity.append(herb.toxicity);
        m_herbNames.push_back(add(herb.name, index, false));
        for (const QString &alias : aliases.aliasesOf(herb.name))
            add(alias, index, true);
    }
}

CompletionEntry CompletionIndex::entry(const Name &name) const
{
    const QString &herb = m_herbs[name.herb];
    // Taking an alias of two herbs would leave the line undecided: the herb's own name is written.
    const bool shared = name.alias && m_aliases->herbsNamedBy(name.text).size() > 1;
    return {herb, name.text, m_toxicity[name.herb], shared ? herb : name.text};
}

bool CompletionIndex::matches(const Name &name, const QString &text, const QByteArray &initials, bool exact) const
{
    if (!initials.isEmpty())
        return exact ? name.initials == initials
                     : name.initials.size() > initials.size() && name.initials.startsWith(initials);
    return exact ? name.text == text : name.text.size() > text.size() && name.text.startsWith(text);
}

QList<CompletionEntry> CompletionIndex::complete(const QString &typed, int limit) const
{
    const QString text = ds::aliasKey(typed);
    QList<CompletionEntry> entries;
    if (text.isEmpty() || limit <= 0)
        return entries;
    const QByteArray initials = ds::isLatinLetters(text) ? text.toLower().toLatin1() : QByteArray();
    static const std::vector<int> none;
    const auto bucketOf = [](const auto &buckets, const auto &key) -> const std::vector<int> & {
        const auto found = buckets.constFind(key);
        return found == buckets.cend() ? none : *found;
    };
    const std::vector<int> &bucket = initials.isEmpty() ? bucketOf(m_byCharacter, text[0]) : bucketOf(m_byLetter, initials[0]);
    // A name both of whose readings match is listed once.
    QSet<std::pair<int, QString>> listed;
    for (const bool exact : {true, false}) {
        for (const bool alias : {false, true}) {
            for (auto at = bucket.begin(); at != bucket.end() && entries.size() < limit; ++at) {
                const Name &name = m_names[size_t(*at)];
                if (name.alias == alias && matches(name, text, initials, exact)) {
                    const std::pair<int, QString> key{name.herb, name.text};
                    if (initials.isEmpty() || !listed.contains(key)) {
                        listed.insert(key);
                        entries.append(entry(name));
                    }
                }
            }
        }
    }
    if (!initials.isEmpty())
        return entries;
    for (auto own = m_herbNames.begin(); own != m_herbNames.end() && entries.size() < limit; ++own) {
        const Name &name = m_names[size_t(*own)];
        if (name.text.size() > text.size() && !name.text.startsWith(text) && name.text.contains(text))
            entries.append(entry(name));
    }
    return entries;
}

} // namespace rx
