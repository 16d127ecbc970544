#include "prescription/table_lines.h"

#include "datastore/errors.h"

namespace rx {

void refuseLine(const TableLine &line, const QString &what)
{
    throw ds::RunError(ds::ErrorCode::SyntaxError, line.where + QStringLiteral(": ") + what);
}

QString checkedName(const TableLine &line, const QString &name)
{
    if (name.isEmpty())
        refuseLine(line, QStringLiteral("an empty name"));
    for (QChar c : name) {
        if (c.isSpace() || c == QChar(0x3002))
            refuseLine(line, QStringLiteral("\"%1\" holds a space or \"。\"").arg(name));
    }
    return name;
}

QStringList herbList(const TableLine &line, int column, const QSet<QString> *shippedHerbs, bool repeatsAllowed)
{
    const QStringList herbs = line.columns.value(column).split(QChar(0x3001));
    QSet<QString> seen;
    for (const QString &herb : herbs) {
        checkedName(line, herb);
        if (shippedHerbs && !shippedHerbs->contains(herb))
            refuseLine(line, QStringLiteral("%1 is not a shipped herb").arg(herb));
        if (!repeatsAllowed && seen.contains(herb))
            refuseLine(line, QStringLiteral("%1 twice").arg(herb));
        seen.insert(herb);
    }
    return herbs;
}

} // namespace rx
