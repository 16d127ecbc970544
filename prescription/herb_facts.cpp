#include "prescription/herb_facts.h"

#include "datastore/database.h"
#include "datastore/herb_aliases.h"
#include "datastore/statement.h"

namespace rx {

Toxicity toxicityOf(const QString &nature)
{
    if (nature.contains(QStringLiteral("大毒")))
        return Toxicity::Severe;
    if (nature.contains(QStringLiteral("小毒")))
        return Toxicity::Slight;
    if (nature.contains(QStringLiteral("有毒")))
        return Toxicity::Toxic;
    return Toxicity::None;
}

QString toxicityWord(Toxicity toxicity)
{
    switch (toxicity) {
    case Toxicity::Slight:
        return QStringLiteral("有小毒");
    case Toxicity::Toxic:
        return QStringLiteral("有毒");
    case Toxicity::Severe:
        return QStringLiteral("有大毒");
    case Toxicity::None:
        break;
    }
    return {};
}

void HerbFactTable::add(const QString &name, const QString &nature, const QString &usage, const QString &cautions)
{
    const QString key = ds::aliasKey(name);
    if (key.isEmpty() || m_index.contains(key))
        return;
    m_index.insert(key, m_herbs.size());
    m_herbs.append({key, toxicityOf(nature), usage, cautions.trimmed()});
}

HerbFactTable HerbFactTable::ofDataFile(ds::Database &db)
{
    HerbFactTable table;
    table.addRows(db);
    return table;
}

void HerbFactTable::addRows(ds::Database &db)
{
    ds::Statement rows(db.handle(), QStringLiteral("SELECT 名称, 性味, 用法, 宜忌 FROM 中医药材"));
    while (rows.step())
        add(rows.value(0).toString(), rows.value(1).toString(), rows.value(2).toString(), rows.value(3).toString());
}

const HerbFacts *HerbFactTable::find(const QString &name) const
{
    const auto found = m_index.constFind(ds::aliasKey(name));
    return found == m_index.cend() ? nullptr : &m_herbs[*found];
}

QStringList HerbFactTable::names() const
{
    QStringList all;
    all.reserve(m_herbs.size());
    for (const HerbFacts &herb : m_herbs)
        all.append(herb.name);
    return all;
}

} // namespace rx
