#include "ui/fonts.h"

#include <QApplication>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QStringList>

namespace ui {

void installFontSubstitutions()
{
    // Families in order of preference; each later one also draws what an earlier one lacks.
    QFont program = QApplication::font();
    program.setFamilies({QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Noto Serif CJK SC"),
                         QStringLiteral("AR PL UMing CN")});
    QApplication::setFont(program); // also drops the platform's fonts for menus and message boxes

    const QStringList serif{QStringLiteral("AR PL UMing CN"), QStringLiteral("Noto Serif CJK SC"),
                            QStringLiteral("Noto Sans CJK SC")};
    const QStringList kai{QStringLiteral("AR PL UKai CN"), QStringLiteral("Noto Serif CJK SC"),
                          QStringLiteral("Noto Sans CJK SC")};
    QFont::insertSubstitutions(QStringLiteral("宋体"), serif);
    QFont::insertSubstitutions(QStringLiteral("楷体_GB2312"), kai);
    QFont::insertSubstitutions(QStringLiteral("隶书"), kai);
}

QFont chineseFont(const QString &family, double points, bool bold)
{
    QFont font(family);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

namespace {

bool keepsLinesApart(const QFont &font)
{
    return QFontMetricsF(font).lineSpacing() >= 1.2 * QFontInfo(font).pixelSize();
}

} // namespace

QFont withLinesApart(const QFont &font)
{
    if (keepsLinesApart(font))
        return font;
    for (const QString &family : QFont::substitutes(font.family())) {
        QFont substitute = font;
        substitute.setFamilies({family});
        if (keepsLinesApart(substitute))
            return substitute;
    }
    return font;
}

} // namespace ui
