#include "prescription/prescription_sheet.h"

#include "prescription/dose_range.h"

#include <QStringList>

namespace rx {
namespace {

constexpr int kHerbsPerRow = 4;

QString escaped(const QString &text)
{
    return text.trimmed().toHtmlEscaped();
}

QString ageText(const QString &typed)
{
    const QString age = typed.trimmed();
    bool figure = false;
    asciiTwins(age).toInt(&figure);
    return figure ? age + QStringLiteral("岁") : age;
}

QString herbCell(const RxLine &line)
{
    QString dose = line.dose.trimmed();
    if (line.amount())
        dose += line.unit.trimmed().isEmpty() ? QStringLiteral("g") : line.unit.trimmed();
    QString cell = QStringLiteral("%1&nbsp;%2").arg(escaped(line.name), dose.toHtmlEscaped());
    if (!line.note.trimmed().isEmpty())
        cell += QStringLiteral(" <span style=\"font-size:8pt\">%1</span>").arg(escaped(line.note));
    return QStringLiteral("<td width=\"25%\">%1</td>").arg(cell);
}

} // namespace

QString chineseDate(const QDate &date)
{
    return QStringLiteral("%1年%2月%3日").arg(date.year()).arg(date.month()).arg(date.day());
}

QString sheetHtml(const PrescriptionSheet &sheet)
{
    QStringList html;
    html << QStringLiteral("<html><body>")
         << QStringLiteral("<p align=\"center\" style=\"font-size:16pt; font-weight:bold\">%1</p>").arg(escaped(sheet.clinic))
         << QStringLiteral("<p align=\"center\" style=\"font-size:9pt\">地址：%1&nbsp;&nbsp;&nbsp;&nbsp;电话：%2</p>")
                .arg(escaped(sheet.address), escaped(sheet.telephone))
         << QStringLiteral("<p align=\"center\" style=\"font-size:20pt; font-weight:bold\">处 方 笺</p>")
         << QStringLiteral("<table width=\"100%\" cellpadding=\"2\"><tr>"
                           "<td>姓名：%1</td><td>性别：%2</td><td>年龄：%3</td><td align=\"right\">%4</td></tr>"
                           "<tr><td colspan=\"4\">诊断：%5</td></tr></table>")
                .arg(escaped(sheet.patient), escaped(sheet.sex), ageText(sheet.age).toHtmlEscaped(),
                     chineseDate(sheet.date), escaped(sheet.diagnosis))
         << QStringLiteral("<hr/>")
         << QStringLiteral("<p style=\"font-size:16pt; font-weight:bold; font-style:italic\">Rp</p>")
         << QStringLiteral("<table width=\"100%\" cellpadding=\"4\">");
    QStringList cells;
    for (const RxLine &line : sheet.lines) {
        if (line.name.trimmed().isEmpty())
            continue;
        cells.append(herbCell(line));
        if (cells.size() == kHerbsPerRow) {
            html << QStringLiteral("<tr>%1</tr>").arg(cells.join(QString()));
            cells.clear();
        }
    }
    if (!cells.isEmpty())
        html << QStringLiteral("<tr>%1</tr>").arg(cells.join(QString()));
    html << QStringLiteral("</table>") << QStringLiteral("<hr/>")
         << QStringLiteral("<p>剂数：%1付&nbsp;&nbsp;&nbsp;&nbsp;用法：%2</p>").arg(escaped(sheet.doses), escaped(sheet.usage))
         << QStringLiteral("<p align=\"right\">医师：%1</p>").arg(escaped(sheet.doctor))
         << QStringLiteral("</body></html>");
    return html.join(QLatin1Char('\n'));
}

} // namespace rx
