#include "formulas/name_tables.h"

#include "datastore/errors.h"
#include "datastore/table_lines.h"

#include <QFile>
#include <QtDebug>

#include <algorithm>

namespace formulas {
namespace {

[[noreturn]] void refuse(const QString &where, const QString &what)
{
    throw ds::RunError(ds::ErrorCode::SyntaxError, where + QStringLiteral(": ") + what);
}

// A shipped table from the program's resources. The seed build checked the very file; should
// it still not read, the program goes on without it and says so on the console.
template <typename Table, typename Read>
Table readShipped(const QString &name, Read read)
{
    QFile file(QStringLiteral(":/ccherb/") + name);
    try {
        if (!file.open(QIODevice::ReadOnly))
            throw ds::RunError(ds::ErrorCode::FileNotFound, file.fileName());
        return Table(read(QString::fromUtf8(file.readAll()), name));
    } catch (const ds::RunError &error) {
        qWarning() << name << error.description();
        return {};
    }
}

} // namespace

QList<Auxiliary> parseAuxiliaries(const QString &text, const QString &label, const QSet<QString> *takenNames)
{
    QList<Auxiliary> lines;
    QSet<QString> seen;
    for (const ds::TableLine &line : ds::tableLines(text, label)) {
        const QString &where = line.where;
        const qsizetype tab = line.text.indexOf(QLatin1Char('\t'));
        const Auxiliary read{line.number, line.text.left(tab), line.text.mid(tab + 1).trimmed()};
        if (tab < 0 || read.note.isEmpty())
            refuse(where, QStringLiteral("a 辅料 line is its name, a tab and a note"));
        if (read.name.isEmpty() || std::any_of(read.name.cbegin(), read.name.cend(), [](QChar c) { return c.isSpace() || c == QChar(0x3002); }))
            refuse(where, QStringLiteral("\"%1\" is no name as the table writes it").arg(read.name));
        if (seen.contains(read.name))
            refuse(where, QStringLiteral("%1 twice").arg(read.name));
        if (takenNames && takenNames->contains(read.name))
            refuse(where, QStringLiteral("%1 is a herb's name or alias").arg(read.name));
        seen.insert(read.name);
        lines.append(read);
    }
    return lines;
}

AuxiliaryTable::AuxiliaryTable(const QList<Auxiliary> &lines)
{
    for (const Auxiliary &line : lines) {
        m_names.append(line.name);
        m_notes.insert(line.name, line.note);
    }
}

const AuxiliaryTable &shippedAuxiliaries()
{
    static const AuxiliaryTable table =
        readShipped<AuxiliaryTable>(QStringLiteral("auxiliaries.tsv"), [](const QString &text, const QString &label) {
            return parseAuxiliaries(text, label);
        });
    return table;
}

QList<ds::AliasLine> parseProcessedForms(const QString &text, const QString &label, const QSet<QString> *shippedHerbs)
{
    const QList<ds::AliasLine> lines = ds::parseAliasTable(text, label);
    QHash<QString, QString> parentOf;
    for (const ds::AliasLine &line : lines) {
        for (const QString &form : line.aliases) {
            const QString where = label + QLatin1Char(':') + QString::number(line.line);
            if (parentOf.contains(form))
                refuse(where, QStringLiteral("%1 is already a form of %2").arg(form, parentOf.value(form)));
            parentOf.insert(form, line.herb);
        }
    }
    for (const ds::AliasLine &line : lines) {
        const QString where = label + QLatin1Char(':') + QString::number(line.line);
        if (parentOf.contains(line.herb))
            refuse(where, QStringLiteral("%1 is a form of %2 and cannot have forms").arg(line.herb, parentOf.value(line.herb)));
        if (!shippedHerbs)
            continue;
        for (const QString &name : QStringList{line.herb} + line.aliases) {
            if (!shippedHerbs->contains(name))
                refuse(where, QStringLiteral("%1 is not a shipped herb").arg(name));
        }
    }
    return lines;
}

ProcessedForms::ProcessedForms(const QList<ds::AliasLine> &lines)
{
    for (const ds::AliasLine &line : lines) {
        m_forms[line.herb] += line.aliases;
        for (const QString &form : line.aliases)
            m_parents.insert(form, line.herb);
    }
}

QString ProcessedForms::rootOf(const QString &herb) const
{
    const QString key = ds::aliasKey(herb);
    return m_parents.value(key, key);
}

const ProcessedForms &shippedProcessedForms()
{
    static const ProcessedForms table =
        readShipped<ProcessedForms>(QStringLiteral("processed_forms.tsv"), [](const QString &text, const QString &label) {
            return parseProcessedForms(text, label);
        });
    return table;
}

const ds::AliasTable &shippedFormulaAliases()
{
    static const ds::AliasTable table =
        readShipped<ds::AliasTable>(QStringLiteral("formula_aliases.tsv"), [](const QString &text, const QString &label) {
            return ds::parseAliasTable(text, label);
        });
    return table;
}

} // namespace formulas
