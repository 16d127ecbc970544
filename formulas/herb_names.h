#pragma once

#include "datastore/herb_aliases.h"
#include "formulas/name_tables.h"

#include <QSet>
#include <QString>
#include <QStringList>

namespace ds {
class Database;
}

namespace formulas {

enum class NameKind {
    Herb,      // the name of a herb of the table
    Alias,     // an alias of one or two of its herbs (芍药: 白芍 and 赤芍)
    Auxiliary, // a 辅料 of the shipped table (粳米, 黄酒)
    Unknown,
};

struct ResolvedName {
    NameKind kind = NameKind::Unknown;
    QStringList herbs; // the herbs named, without "。": one for a herb, one or two for an alias;
                       // none for a 辅料 or an unknown name
};

// What a written name stands for, by the whole name alone, never by a part of it: 白附子 is not
// 附子. Built over the herbs a data file holds (a clinic adds herbs, and may delete one: an
// alias then names only the herbs that are left).
class HerbNames {
public:
    // Herb names as stored or written, with or without the final "。". The tables are held by
    // reference and must outlive this; the shipped ones live as long as the program.
    explicit HerbNames(const QStringList &herbNames, const ds::AliasTable &aliases = ds::shippedAliases(),
                       const AuxiliaryTable &auxiliaries = shippedAuxiliaries());
    // Over the herbs of 中医药材 in the open data file.
    static HerbNames ofDataFile(ds::Database &db, const ds::AliasTable &aliases = ds::shippedAliases(),
                                const AuxiliaryTable &auxiliaries = shippedAuxiliaries());

    // A herb's own name first, then an alias, then a 辅料; spaces at the ends and a final "。"
    // do not count.
    ResolvedName resolve(const QString &written) const;
    bool isHerb(const QString &name) const { return m_herbs.contains(ds::aliasKey(name)); }

private:
    QSet<QString> m_herbs;
    const ds::AliasTable *m_aliases;
    const AuxiliaryTable *m_auxiliaries;
};

} // namespace formulas
