#include "formulas/herb_names.h"

#include "datastore/database.h"

namespace formulas {

HerbNames::HerbNames(const QStringList &herbNames, const ds::AliasTable &aliases, const AuxiliaryTable &auxiliaries)
    : m_aliases(&aliases), m_auxiliaries(&auxiliaries)
{
    m_herbs.reserve(herbNames.size());
    for (const QString &name : herbNames) {
        const QString key = ds::aliasKey(name);
        if (!key.isEmpty())
            m_herbs.insert(key);
    }
}

HerbNames HerbNames::ofDataFile(ds::Database &db, const ds::AliasTable &aliases, const AuxiliaryTable &auxiliaries)
{
    return HerbNames(db.readColumn(QStringLiteral("SELECT 名称 FROM 中医药材"), 0).texts, aliases, auxiliaries);
}

ResolvedName HerbNames::resolve(const QString &written) const
{
    const QString key = ds::aliasKey(written);
    if (key.isEmpty())
        return {};
    if (m_herbs.contains(key))
        return {NameKind::Herb, {key}};
    QStringList named = m_aliases->herbsNamedBy(key);
    named.removeIf([this](const QString &herb) { return !m_herbs.contains(herb); });
    if (!named.isEmpty())
        return {NameKind::Alias, named};
    if (m_auxiliaries->contains(key))
        return {NameKind::Auxiliary, {}};
    return {};
}

} // namespace formulas
