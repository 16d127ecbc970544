#include "formulas/formula_page.h"

#include "datastore/database.h"
#include "datastore/statement.h"
#include "datastore/text_trim.h"
#include "formulas/composition.h"

#include <QUrl>

namespace formulas {
namespace {

const QString kLinkScheme = QStringLiteral("herb:");

// The herbs of the data file the written names could stand for, looked up one by one.
HerbNames herbsNamed(ds::Database &db, const QList<Ingredient> &ingredients, const NameTables &tables)
{
    ds::Statement stored(db.handle(), QStringLiteral("SELECT 1 FROM 中医药材 WHERE 名称 IN (?1, ?2)"));
    QStringList present;
    for (const Ingredient &ingredient : ingredients) {
        for (const QString &herb : QStringList{ds::aliasKey(ingredient.name)} + tables.herbAliases->herbsNamedBy(ingredient.name)) {
            stored.reset();
            stored.bind(1, herb);
            stored.bind(2, herb + QChar(0x3002));
            if (stored.step())
                present.append(herb);
        }
    }
    return HerbNames(present, *tables.herbAliases, *tables.auxiliaries);
}

QString shown(const QString &stored)
{
    const QString text = ds::trimSpaces(stored);
    return text.toHtmlEscaped().replace(QLatin1String("\r\n"), QLatin1String("<br>")).replace(QLatin1Char('\n'), QLatin1String("<br>"));
}

QString nameCell(const CompositionLine &line, bool links)
{
    const QString written = line.name.toHtmlEscaped();
    if (!links || line.herbs.isEmpty())
        return line.kind == NameKind::Auxiliary ? written + QStringLiteral("<small>（辅料）</small>") : written;
    const auto link = [](const QString &herb, const QString &text) {
        return QStringLiteral("<a href=\"%1\">%2</a>").arg(herbLink(herb).toHtmlEscaped(), text.toHtmlEscaped());
    };
    if (line.herbs.size() == 1)
        return link(line.herbs.first(), line.name);
    // An alias of two herbs (芍药): the reader picks which one to read.
    QStringList each;
    for (const QString &herb : line.herbs)
        each.append(link(herb, herb));
    return written + QStringLiteral("（") + each.join(QStringLiteral("、")) + QStringLiteral("）");
}

} // namespace

QList<CompositionLine> compositionLines(ds::Database &db, const QString &composition, const NameTables &tables)
{
    const Composition read = parseComposition(composition);
    const HerbNames names = herbsNamed(db, read.ingredients, tables);
    QList<CompositionLine> lines;
    for (const Ingredient &ingredient : read.ingredients) {
        const ResolvedName resolved = names.resolve(ingredient.name);
        const QString unit = ingredient.hasFigure() && ingredient.unit.isEmpty() ? QStringLiteral("g") : ingredient.unit;
        lines.append({ingredient.name, ingredient.amountText + unit, ingredient.note, resolved.kind, resolved.herbs});
    }
    for (const UnreadFragment &fragment : read.unread)
        lines.append({fragment.text, {}, {}, NameKind::Unknown, {}});
    return lines;
}

QString formulaPage(const FormulaRecord &record, const QList<CompositionLine> &lines, bool onScreen)
{
    QString page = QStringLiteral("<h2>%1</h2>").arg(shown(ds::aliasKey(record[kFormulaName])));
    page += QStringLiteral("<p><b>组成</b></p><table cellspacing=\"0\" cellpadding=\"2\" style=\"margin-bottom:6px\">");
    for (const CompositionLine &line : lines) {
        page += QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td></tr>")
                    .arg(nameCell(line, onScreen), line.dose.toHtmlEscaped(), line.note.toHtmlEscaped());
    }
    page += QStringLiteral("</table>");
    const std::pair<int, const char16_t *> sections[] = {{kEffects, u"功用"}, {kIndications, u"主治"}, {kUsage, u"用法"},
                                                         {kSource, u"来源"},  {kChapter, u"分类"},     {kNotes, u"心得"}};
    for (const auto &[field, caption] : sections) {
        if (!onScreen && ds::trimSpaces(record[size_t(field)]).isEmpty())
            continue;
        page += QStringLiteral("<p style=\"margin-top:8px\"><b>%1</b>　%2</p>").arg(QString::fromUtf16(caption), shown(record[size_t(field)]));
    }
    return page;
}

QString herbLink(const QString &herb)
{
    return kLinkScheme + QString::fromLatin1(QUrl::toPercentEncoding(herb));
}

QString herbOfLink(const QString &link)
{
    return link.startsWith(kLinkScheme) ? QUrl::fromPercentEncoding(link.mid(kLinkScheme.size()).toLatin1()) : QString();
}

} // namespace formulas
