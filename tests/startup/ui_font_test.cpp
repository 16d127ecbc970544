// Run under LANG=C: the Chinese of the program is drawn in Simplified Chinese fonts whatever
// the locale, not in the fallback an English desktop would pick (Japanese-style glyphs).
#include "qstring_printer.h"
#include "ui/fonts.h"

#include <QApplication>
#include <QGlyphRun>
#include <QRawFont>
#include <QTextLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>

#include <gtest/gtest.h>

namespace {

bool isSimplifiedChinese(const QString &family)
{
    return family.endsWith(QLatin1String(" SC"), Qt::CaseInsensitive)
           || family.endsWith(QLatin1String(" CN"), Qt::CaseInsensitive);
}

// The font the widget's Chinese is actually drawn in, fallback included.
QString drawnFamily(const QWidget &widget)
{
    QTextLayout layout(QStringLiteral("门诊药材"), widget.font());
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    const QList<QGlyphRun> runs = layout.glyphRuns();
    return runs.isEmpty() ? QString() : runs.first().rawFont().familyName();
}

} // namespace

TEST(UiFontInAnyLocale, MenusMessageBoxesAndChineseNamedFontsAreSimplifiedChinese)
{
    ASSERT_NE(QLocale::system().language(), QLocale::Chinese) << "run this test under LANG=C";
    QMenu menu;
    menu.addAction(QStringLiteral("中医药材登录"));
    QMessageBox box;
    box.setText(QStringLiteral("退出澄川中医门诊系统吗?"));
    const QLabel *boxLabel = box.findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
    ASSERT_TRUE(boxLabel);
    QLineEdit plain;
    EXPECT_EQ(drawnFamily(menu), "Noto Sans CJK SC");
    EXPECT_EQ(drawnFamily(*boxLabel), "Noto Sans CJK SC");
    EXPECT_EQ(drawnFamily(plain), "Noto Sans CJK SC");
    for (const char *name : {"宋体", "楷体_GB2312", "隶书"}) {
        QLineEdit named;
        named.setFont(ui::chineseFont(name, 10.5));
        EXPECT_TRUE(isSimplifiedChinese(drawnFamily(named))) << name << " -> " << drawnFamily(named).toStdString();
    }
}
