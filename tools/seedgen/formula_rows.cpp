#include "tools/seedgen/formula_rows.h"

#include "datastore/errors.h"
#include "formulas/composition.h"
#include "tools/seedgen/herb_rows.h"

namespace seed {
namespace {

[[noreturn]] void refuse(const QString &where, const QString &formula, const QString &what)
{
    throw ds::RunError(ds::ErrorCode::SyntaxError, QStringLiteral("%1: %2 方剂组成: %3").arg(where, formula, what));
}

void checkComposition(const QString &where, const QStringList &row, const formulas::HerbNames &names)
{
    const QString &formula = row[0];
    const formulas::Composition read = formulas::parseComposition(row[1]);
    if (!read.unread.isEmpty())
        refuse(where, formula, QStringLiteral("cannot read \"%1\"").arg(read.unread.first().text));
    if (read.ingredients.isEmpty())
        refuse(where, formula, QStringLiteral("no ingredient"));
    const QString stored = formulas::writeComposition(read.ingredients);
    if (stored != row[1])
        refuse(where, formula, QStringLiteral("not in stored form; stored it reads \"%1\"").arg(stored));
    // One name twice is a slip; two names of one herb may be the book's own (橘核丸 lists 昆布
    // and 海带), and the prescription check names them.
    QSet<QString> written;
    for (const formulas::Ingredient &item : read.ingredients) {
        if (item.amountText.isEmpty())
            refuse(where, formula, QStringLiteral("%1 has no dose").arg(item.name));
        if (names.resolve(item.name).kind == formulas::NameKind::Unknown)
            refuse(where, formula, QStringLiteral("%1 is no shipped herb, alias or 辅料").arg(item.name));
        if (written.contains(item.name))
            refuse(where, formula, QStringLiteral("%1 twice").arg(item.name));
        written.insert(item.name);
    }
}

} // namespace

void appendFormulaRows(const QString &fileName, const QString &text, QList<QStringList> &rows,
                       QHash<QString, QString> &seenAt, const formulas::HerbNames &names)
{
    const qsizetype first = rows.size();
    appendRows(Table::Formulas, fileName, text, rows, seenAt);
    for (qsizetype i = first; i < rows.size(); ++i)
        checkComposition(seenAt.value(rows[i][0]), rows[i], names);
}

QList<QStringList> readFormulaRows(const QStringList &paths, const formulas::HerbNames &names)
{
    QList<QStringList> rows;
    QHash<QString, QString> seenAt;
    for (const QString &path : paths)
        appendFormulaRows(path, readText(path), rows, seenAt, names);
    return rows;
}

QSet<QString> herbNamesAndAliases(const QList<QStringList> &herbs, const QList<ds::AliasLine> &aliases)
{
    QSet<QString> names;
    for (const QStringList &herb : herbs)
        names.insert(ds::aliasKey(herb[0]));
    for (const ds::AliasLine &line : aliases) {
        for (const QString &alias : line.aliases)
            names.insert(alias);
    }
    return names;
}

} // namespace seed
