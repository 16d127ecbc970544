#include "prescription/completion.h"

#include "datastore/herb_aliases.h"
#include "datastore/pinyin_initials.h"

#include <QHash>

#include <algorithm>

namespace rx {
namespace {

// Working out initials costs a few microseconds a name: a data file read again after a change
// only works out the names it has not met before.
const QByteArray &initialsOf(const QString &name)
{
    static QHash<QString, QByteArray> known;
    auto found = known.find(name);
    if (found == known.end())
        found = known.insert(name, ds::pinyinInitials(name).toLatin1());
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
{
    for (const HerbFacts &herb : facts.all()) {
        const int index = int(m_herbs.size());
        m_herbs.append(herb.name);
        m_toxicity.append(herb.toxicity);
        m_herbNames.push_back(int(m_names.size()));
        m_names.push_back({herb.name, initialsOf(herb.name), index, false, false});
        for (const QString &alias : aliases.aliasesOf(herb.name))
            m_names.push_back({alias, initialsOf(alias), index, true, aliases.herbsNamedBy(alias).size() > 1});
    }
    m_byInitials.resize(m_names.size());
    for (size_t i = 0; i < m_names.size(); ++i)
        m_byInitials[i] = int(i);
    m_byText = m_byInitials;
    std::sort(m_byInitials.begin(), m_byInitials.end(), [this](int a, int b) {
        const Name &x = m_names[size_t(a)];
        const Name &y = m_names[size_t(b)];
        return std::tie(x.initials, x.alias, x.text) < std::tie(y.initials, y.alias, y.text);
    });
    std::sort(m_byText.begin(), m_byText.end(), [this](int a, int b) {
        const Name &x = m_names[size_t(a)];
        const Name &y = m_names[size_t(b)];
        return std::tie(x.text, x.alias) < std::tie(y.text, y.alias);
    });
}

CompletionEntry CompletionIndex::entry(const Name &name) const
{
    const QString &herb = m_herbs[name.herb];
    return {herb, name.text, m_toxicity[name.herb], name.shared ? herb : name.text};
}

QList<CompletionEntry> CompletionIndex::complete(const QString &typed, int limit) const
{
    const QString text = ds::aliasKey(typed);
    QList<CompletionEntry> entries;
    if (text.isEmpty() || limit <= 0)
        return entries;
    if (ds::isLatinLetters(text)) {
        const QByteArray letters = text.toLower().toLatin1();
        auto at = std::lower_bound(m_byInitials.begin(), m_byInitials.end(), letters,
                                   [this](int a, const QByteArray &value) { return m_names[size_t(a)].initials < value; });
        for (; at != m_byInitials.end() && entries.size() < limit; ++at) {
            const Name &name = m_names[size_t(*at)];
            if (!name.initials.startsWith(letters))
                break;
            entries.append(entry(name));
        }
        return entries;
    }
    auto at = std::lower_bound(m_byText.begin(), m_byText.end(), text,
                               [this](int a, const QString &value) { return m_names[size_t(a)].text < value; });
    for (; at != m_byText.end() && entries.size() < limit; ++at) {
        const Name &name = m_names[size_t(*at)];
        if (!name.text.startsWith(text))
            break;
        entries.append(entry(name));
    }
    for (auto own = m_herbNames.begin(); own != m_herbNames.end() && entries.size() < limit; ++own) {
        const Name &name = m_names[size_t(*own)];
        if (name.text.size() > text.size() && !name.text.startsWith(text) && name.text.contains(text))
            entries.append(entry(name));
    }
    return entries;
}

} // namespace rx
