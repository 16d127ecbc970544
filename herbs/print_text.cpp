#include "herbs/print_text.h"

#include "herbs/herb_record.h"

#include <QRegularExpression>

#include <array>

namespace herbs {
namespace {

enum Column { Name, Meridian, Nature, Efficacy, Indication, Usage, Caution, Notes, ColumnCount };

const QString kCrLf = QStringLiteral("\r\n");

// A field's text without leading and trailing ASCII spaces (a full-width space or a line break
// is text); a missing entry (fewer than eight texts) prints as an empty field.
QString field(const QStringList &fields, Column column)
{
    return trimSpaces(fields.value(column));
}

} // namespace

bool printFieldsComplete(const QStringList &fields)
{
    for (Column required : {Name, Efficacy, Indication, Usage}) {
        if (field(fields, required).isEmpty())
            return false;
    }
    return true;
}

QStringList printLines(const QString &text)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|[\r\n\u2028\u2029]"));
    return text.split(lineBreak);
}

QString buildPrintText(const QStringList &fields, const QDate &today)
{
    struct Line {
        const char *label;
        Column column;
    };
    static const std::array<Line, 8> lines{{
        {"药材名称：", Name},
        {"药材性味：", Nature},
        {"药材归经：", Meridian},
        {"药材功效：", Efficacy},
        {"药材主治：", Indication},
        {"使用方法：", Usage},
        {"药材宜忌：", Caution},
        {"应用心得：", Notes},
    }};
    static_assert(lines.size() == ColumnCount);

    QStringList text;
    for (const Line &line : lines) {
        // Inner line breaks of a value (notes typed in a Qt box hold bare LF) become CR LF like
        // the breaks between the lines, so the document gets one paragraph per line.
        const QString value = printLines(field(fields, line.column)).join(kCrLf);
        text.append(QString::fromUtf8(line.label) + value);
    }
    text.append(QString());
    text.append(QStringLiteral("打印时间：") + today.toString(QStringLiteral("yyyy-MM-dd")));
    return trimSpaces(text.join(kCrLf));
}

QString printPageHtml(const QString &clinic, const QString &text)
{
    QString html;
    if (!clinic.trimmed().isEmpty())
        html += QStringLiteral("<p align=\"center\" style=\"font-size:16pt; font-weight:bold\">%1</p>")
                    .arg(clinic.trimmed().toHtmlEscaped());
    // One paragraph, its lines broken where the text's are: an empty line stays a line.
    QStringList lines;
    for (const QString &line : printLines(text))
        lines.append(line.toHtmlEscaped());
    return html + QStringLiteral("<p style=\"white-space:pre-wrap\">%1</p>").arg(lines.join(QStringLiteral("<br>")));
}

} // namespace herbs
