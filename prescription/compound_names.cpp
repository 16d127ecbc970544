#include "prescription/compound_names.h"

#include "prescription/table_lines.h"

#include <QHash>

namespace rx {

QList<CompoundName> parseCompoundNames(const QString &text, const QString &label, const QSet<QString> *shippedHerbs)
{
    QList<CompoundName> compounds;
    QHash<QString, int> lineOf;
    for (const TableLine &line : tableLines(text, label)) {
        if (line.columns.size() != 2 && line.columns.size() != 3)
            refuseLine(line, QStringLiteral("%1 columns, a line needs the names, the herbs and how they are written")
                                 .arg(line.columns.size()));
        CompoundName compound;
        compound.line = line.number;
        compound.names = herbList(line, 0, nullptr);
        for (const QString &name : std::as_const(compound.names)) {
            if (shippedHerbs && shippedHerbs->contains(name))
                refuseLine(line, QStringLiteral("%1 is the name of a shipped herb").arg(name));
            const auto earlier = lineOf.constFind(name);
            if (earlier != lineOf.cend())
                refuseLine(line, QStringLiteral("%1 again, first at line %2").arg(name).arg(*earlier));
            lineOf.insert(name, line.number);
        }
        const QStringList herbs = herbList(line, 1, shippedHerbs, true);
        const QStringList written = line.columns.size() == 3 ? herbList(line, 2, nullptr) : herbs;
        if (herbs.size() < 2)
            refuseLine(line, QStringLiteral("a compound name needs two herbs or more"));
        if (written.size() != herbs.size())
            refuseLine(line, QStringLiteral("%1 herbs but %2 written forms").arg(herbs.size()).arg(written.size()));
        for (qsizetype i = 0; i < herbs.size(); ++i)
            compound.parts.append({written[i], herbs[i]});
        compounds.append(compound);
    }
    return compounds;
}

} // namespace rx
