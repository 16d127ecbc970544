#include "ui/fonts.h"

#include <QApplication>
#include <QStringList>

namespace ui {

void installFontSubstitutions()
{
    // Families in order of preference; each later one also draws what an earlier one lacks.
    QFont program = QApplication::font();
    program.setFamilies({QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Noto Serif CJK SC"),
                         QStringLiteral("AR PL UMing CN")});
    QApplication::setFont(program); // also drops the platform's fonts for menus and message boxes

    // A Song face first: Noto Serif CJK SC keeps a gap between lines; AR PL UMing's line
    // spacing is less than its glyphs are tall, so its lines of ideographs touch.
    const QStringList serif{QStringLiteral("Noto Serif CJK SC"), QStringLiteral("AR PL UMing CN"),
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

} // namespace ui
