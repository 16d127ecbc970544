#include "ui/fonts.h"
#include "ui/print_preview.h"
#include "pdf_text.h"
#include "ui/password_box.h"
#include "ui/pointer.h"
#include "ui/rows.h"
#include "ui/twips.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QListWidget>
#include <QStandardItemModel>
#include <QTableView>
#include <QFontInfo>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QWidget>

#include <gtest/gtest.h>

TEST(UiServices, ChineseFontNamesLandOnInstalledCjkFonts)
{
    const QStringList installed = QFontDatabase::families();
    for (const char *name : {"宋体", "楷体_GB2312", "隶书"}) {
        QWidget probe;
        probe.setFont(ui::chineseFont(name, 10.5));
        const QString family = QFontInfo(probe.font()).family();
        EXPECT_TRUE(family.contains("CJK") || family.startsWith("AR PL")) << name << " -> " << family.toStdString();
    }
    EXPECT_TRUE(installed.contains("AR PL UMing CN") || installed.contains("Noto Serif CJK SC"));
    EXPECT_NEAR(ui::chineseFont("宋体", 10.5).pointSizeF(), 10.5, 0.01);
    EXPECT_TRUE(ui::chineseFont("楷体_GB2312", 24, true).bold());
}

TEST(UiServices, TwipsArePixelsAtNinetySixDotsPerInch)
{
    EXPECT_EQ(ui::twips(1440), 96);
    EXPECT_EQ(ui::twips(15), 1);
    EXPECT_EQ(ui::twipsRect(600, 120, 1695, 325), QRect(40, 8, 113, 22));
    QWidget parent;
    QWidget child(&parent);
    ui::placeTwips(&child, 8040, 4680, 1200, 325);
    EXPECT_EQ(child.geometry(), QRect(536, 312, 80, 22));
}

TEST(UiServices, BusyPointerIsRestoredOnEveryWayOut)
{
    ui::setNormalPointer();
    try {
        ui::BusyPointer busy;
        EXPECT_TRUE(ui::isPointerBusy());
        ui::setBusyPointer(); // a nested busy request does not stack
        throw 1;
    } catch (int) {
    }
    EXPECT_FALSE(ui::isPointerBusy());
    ui::setBusyPointer();
    ui::setNormalPointer(); // a screen that opens sets the arrow back
    EXPECT_FALSE(ui::isPointerBusy());
}

TEST(UiServices, PasswordBoxesShowAsterisks)
{
    QLineEdit box;
    ui::makePasswordBox(&box, 30);
    box.show();
    QStyleOptionFrame option;
    option.initFrom(&box);
    EXPECT_EQ(box.style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, &option, &box), int('*'));
    EXPECT_EQ(box.echoMode(), QLineEdit::Password);
    EXPECT_EQ(box.maxLength(), 30);
    box.setText("秘密 1234");
    EXPECT_EQ(box.displayText(), QString(7, QLatin1Char('*')));
}

// Rows of lists and grids are the font's line height with padding: they neither touch nor are
// cut, whatever the font.
TEST(UiServices, ListAndGridRowsTakeTheFontsLineHeightWithPadding)
{
    for (const QFont &font : {ui::chineseFont("宋体", 10.5), ui::chineseFont("楷体_GB2312", 24), QApplication::font()}) {
        const int natural = QFontMetrics(font).lineSpacing();
        QListWidget list;
        list.setFont(font);
        ui::setComfortableRows(&list);
        list.addItems({"人参。", "黄芪。", "当归。"});
        QStandardItemModel model(3, 2);
        model.setItem(0, 0, new QStandardItem("人参。"));
        QTableView grid;
        grid.setFont(font);
        grid.setModel(&model);
        ui::setComfortableRows(&grid);
        list.resize(200, 400);
        grid.resize(200, 400);
        list.show();
        grid.show();
        for (int row = 0; row < 3; ++row) {
            const QRect item = list.visualItemRect(list.item(row));
            EXPECT_GE(item.height(), natural + 4) << font.family().toStdString();
            EXPECT_GE(item.top(), 0); // the first row starts inside the frame
            EXPECT_GE(grid.rowHeight(row), natural + 4) << font.family().toStdString();
        }
    }
}

TEST(UiServices, PrintedPagesKeepTheirChineseTextAndRefuseAnUnwritablePlace)
{
    QTemporaryDir dir;
    ui::PrintRequest page{QStringLiteral("处方笺"), QStringLiteral("<h2>澄川中医门诊部</h2><p>柴胡 12g　黄芩 9g</p>")};
    const QString pdf = dir.filePath(QStringLiteral("处方.pdf"));
    ASSERT_TRUE(ui::writePdf(page, pdf));
    const QString text = pdfText(pdf);
    EXPECT_TRUE(text.contains(QStringLiteral("澄川中医门诊部"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("黄芩"))) << text.toStdString();

    // A folder in the file's place: the old content stays and the caller hears of it.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("busy.pdf")));
    EXPECT_FALSE(ui::writePdf(page, dir.filePath(QStringLiteral("busy.pdf"))));
}
