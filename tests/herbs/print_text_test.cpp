#include "herbs/print_text.h"
#include "qstring_printer.h"

#include <gtest/gtest.h>

using herbs::buildPrintText;
using herbs::printFieldsComplete;

namespace {

// 名称, 归经, 性味, 功效, 主治, 用法, 宜忌, 心得: 人参 in its stored form.
QStringList ginseng()
{
    return {QStringLiteral("人参。"),         QStringLiteral("脾、肺、心经。"),
            QStringLiteral("甘、微苦，微温。"), QStringLiteral("大补元气，复脉固脱。"),
            QStringLiteral("体虚欲脱。"),       QStringLiteral("煎服，３～９克。"),
            QStringLiteral("不宜与藜芦同用。"), QStringLiteral("用于久病虚羸。")};
}

const QDate kDay(2026, 12, 6);

} // namespace

TEST(PrintText, StoredHerbPrintsEveryLineInPrintOrder)
{
    const QString expected = QStringLiteral("药材名称：人参。\r\n"
                                            "药材性味：甘、微苦，微温。\r\n"
                                            "药材归经：脾、肺、心经。\r\n"
                                            "药材功效：大补元气，复脉固脱。\r\n"
                                            "药材主治：体虚欲脱。\r\n"
                                            "使用方法：煎服，３～９克。\r\n"
                                            "药材宜忌：不宜与藜芦同用。\r\n"
                                            "应用心得：用于久病虚羸。\r\n"
                                            "\r\n"
                                            "打印时间：2026-12-06");
    EXPECT_EQ(buildPrintText(ginseng(), kDay), expected);
}

TEST(PrintText, EmptyOrBlankFieldsPrintTheBareLabel)
{
    QStringList fields = ginseng();
    fields[1] = QStringLiteral(" ");   // 归经 in the stored blank form
    fields[2] = QStringLiteral("   "); // 性味 typed as spaces
    fields[6] = QString();             // 宜忌 empty
    const QStringList lines = buildPrintText(fields, kDay).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 10);
    EXPECT_EQ(lines[1], QStringLiteral("药材性味："));
    EXPECT_EQ(lines[2], QStringLiteral("药材归经："));
    EXPECT_EQ(lines[6], QStringLiteral("药材宜忌："));
}

TEST(PrintText, ValuesAreTrimmedAndTheDateIsPadded)
{
    QStringList fields = ginseng();
    fields[0] = QStringLiteral("  人参。 ");
    fields[5] = QStringLiteral(" 煎服。  ");
    const QString text = buildPrintText(fields, QDate(2027, 1, 5));
    EXPECT_TRUE(text.startsWith(QStringLiteral("药材名称：人参。\r\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("\r\n使用方法：煎服。\r\n")));
    EXPECT_TRUE(text.endsWith(QStringLiteral("应用心得：用于久病虚羸。\r\n\r\n打印时间：2027-01-05")));
}

TEST(PrintText, MultiLineNotesContinueOverCrLfLines)
{
    QStringList fields = ginseng();
    fields[6] = QString();
    // Notes typed in the box (bare LF), stored notes (CR LF) and a lone CR all break a line.
    fields[7] = QStringLiteral("第一行\n第二行\r\n第三行\r第四行");
    const QString text = buildPrintText(fields, kDay);
    EXPECT_TRUE(text.endsWith(QStringLiteral("药材宜忌：\r\n"
                                             "应用心得：第一行\r\n第二行\r\n第三行\r\n第四行\r\n"
                                             "\r\n"
                                             "打印时间：2026-12-06")));
    // Every break in the text is a CR LF pair.
    EXPECT_EQ(text.count(QLatin1Char('\r')), 12);
    EXPECT_EQ(text.count(QLatin1Char('\n')), 12);
    EXPECT_FALSE(text.contains(QStringLiteral("\r\r")));
}

TEST(PrintText, OnlyAsciiSpacesAreTrimmed)
{
    QStringList fields = ginseng();
    fields[7] = QStringLiteral("  \u3000\u3000久病虚羸者宜之。  ");
    const QStringList lines = buildPrintText(fields, kDay).split(QStringLiteral("\r\n"));
    EXPECT_EQ(lines[7], QStringLiteral("应用心得：\u3000\u3000久病虚羸者宜之。")); // an indent of full-width spaces stays
    QStringList lineBreakOnly = ginseng();
    lineBreakOnly[5] = QStringLiteral("\r\n");
    EXPECT_TRUE(printFieldsComplete(lineBreakOnly)); // a line break is text, as in the boxes
}

TEST(PrintText, FewerThanEightFieldsPrintEmptyLines)
{
    const QStringList lines = buildPrintText({QStringLiteral("人参。")}, kDay).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 10);
    EXPECT_EQ(lines[0], QStringLiteral("药材名称：人参。"));
    EXPECT_EQ(lines[7], QStringLiteral("应用心得："));
}

TEST(PrintFieldsComplete, NeedsNameEfficacyIndicationAndUsage)
{
    EXPECT_TRUE(printFieldsComplete(ginseng()));

    QStringList optionalEmpty = ginseng();
    for (int column : {1, 2, 6, 7})
        optionalEmpty[column] = QString();
    EXPECT_TRUE(printFieldsComplete(optionalEmpty));

    for (int column : {0, 3, 4, 5}) {
        for (const QString &blank : {QString(), QStringLiteral(" "), QStringLiteral("   ")}) {
            QStringList fields = ginseng();
            fields[column] = blank;
            EXPECT_FALSE(printFieldsComplete(fields)) << "column " << column << " as '" << blank.toStdString() << "'";
        }
    }
    EXPECT_FALSE(printFieldsComplete({}));
}
