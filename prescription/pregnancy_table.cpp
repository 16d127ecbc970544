#include "prescription/pregnancy_table.h"

#include "prescription/table_lines.h"

#include <QHash>

namespace rx {

QString levelWord(PregnancyLevel level)
{
    return level == PregnancyLevel::Forbidden ? QStringLiteral("禁用") : QStringLiteral("慎用");
}

QList<PregnancyEntry> parsePregnancyTable(const QString &text, const QString &label, const QSet<QString> *shippedHerbs)
{
    QList<PregnancyEntry> entries;
    QHash<QString, int> lineOf;
    for (const TableLine &line : tableLines(text, label)) {
        if (line.columns.size() != 2)
            refuseLine(line, QStringLiteral("%1 columns, a line needs the herb and 禁用 or 慎用").arg(line.columns.size()));
        const QStringList herbs = herbList(line, 0, shippedHerbs);
        if (herbs.size() != 1)
            refuseLine(line, QStringLiteral("one herb a line"));
        PregnancyEntry entry;
        entry.line = line.number;
        entry.herb = herbs[0];
        if (line.columns[1] == levelWord(PregnancyLevel::Caution))
            entry.level = PregnancyLevel::Caution;
        else if (line.columns[1] != levelWord(PregnancyLevel::Forbidden))
            refuseLine(line, QStringLiteral("\"%1\" is neither 禁用 nor 慎用").arg(line.columns[1]));
        const auto earlier = lineOf.constFind(entry.herb);
        if (earlier != lineOf.cend())
            refuseLine(line, QStringLiteral("%1 again, first at line %2").arg(entry.herb).arg(*earlier));
        lineOf.insert(entry.herb, entry.line);
        entries.append(entry);
    }
    return entries;
}

} // namespace rx
