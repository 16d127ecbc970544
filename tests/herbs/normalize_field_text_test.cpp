#include "qstring_printer.h"
#include "herbs/normalize_field_text.h"

#include <gtest/gtest.h>

using herbs::NormalizeFieldText;

namespace {
const QString CRLF = QStringLiteral("\r\n");
const QString LF = QStringLiteral("\n");
} // namespace

TEST(NormalizeFieldText, BlankTextsBecomeOneSpace)
{
    EXPECT_EQ(NormalizeFieldText(""), " ");
    EXPECT_EQ(NormalizeFieldText("     "), " ");
    EXPECT_EQ(NormalizeFieldText(LF + LF), " ");      // lone line feeds are dropped
    EXPECT_EQ(NormalizeFieldText(CRLF), " ");         // a line break at the start is dropped
    EXPECT_EQ(NormalizeFieldText("  " + CRLF + "  "), " ");
    EXPECT_EQ(NormalizeFieldText(" " + LF + " "), " ");
}

TEST(NormalizeFieldText, PunctuationBecomesFullWidth)
{
    EXPECT_EQ(NormalizeFieldText("甘,微苦;温"), "甘，微苦；温。");
    EXPECT_EQ(NormalizeFieldText("a\\b"), "a、b。");
    EXPECT_EQ(NormalizeFieldText("已有句号。"), "已有句号。");
    EXPECT_EQ(NormalizeFieldText("已有句号."), "已有句号。");
    EXPECT_EQ(NormalizeFieldText("归脾 肺经"), "归脾肺经。");
    EXPECT_EQ(NormalizeFieldText("  人参  "), "人参。");
    // A full-width space is an ordinary character and stays.
    EXPECT_EQ(NormalizeFieldText(QString("甘\u3000苦")), QString("甘\u3000苦。"));
}

TEST(NormalizeFieldText, PointsBetweenDigitsAndBeforeBookTitlesStay)
{
    EXPECT_EQ(NormalizeFieldText("1.5"), "1.5。");
    EXPECT_EQ(NormalizeFieldText("3。5"), "3.5。");
    EXPECT_EQ(NormalizeFieldText("见.《本草》"), "见.《本草》。");
    EXPECT_EQ(NormalizeFieldText("见。《本草》"), "见.《本草》。");
    EXPECT_EQ(NormalizeFieldText("约3.克"), "约3。克。");   // a digit on one side only
    EXPECT_EQ(NormalizeFieldText(".5"), "。5。");            // no digit before the first character
    EXPECT_EQ(NormalizeFieldText("。5"), "。5。");
    EXPECT_EQ(NormalizeFieldText("5."), "5。");              // the point at the end is the full stop
    EXPECT_EQ(NormalizeFieldText("1.5.2"), "1.5.2。");
}

TEST(NormalizeFieldText, FullWidthDigitsCountAsDigits)
{
    for (char16_t before = 0xFF10; before <= 0xFF19; ++before) {
        for (char16_t after = 0xFF10; after <= 0xFF19; ++after) {
            const QString number = QString(QChar(before)) + "." + QChar(after);
            EXPECT_EQ(NormalizeFieldText(number), number + "。");
        }
    }
    EXPECT_EQ(NormalizeFieldText(QString("\uFF11.\uFF19")), QString("\uFF11.\uFF19。")); // １.９
    EXPECT_EQ(NormalizeFieldText(QString("\uFF11.\uFF15")), QString("\uFF11.\uFF15。"));
    EXPECT_EQ(NormalizeFieldText(QString("\uFF13。5")), QString("\uFF13.5。"));
    EXPECT_EQ(NormalizeFieldText(QString("一.二")), QString("一。二。")); // Chinese numerals are not digits
}

TEST(NormalizeFieldText, LineBreaks)
{
    EXPECT_EQ(NormalizeFieldText(CRLF + "甘"), "甘。");
    EXPECT_EQ(NormalizeFieldText("甘" + CRLF + "苦"), "甘" + CRLF + "苦。");
    EXPECT_EQ(NormalizeFieldText("甘" + LF + "苦"), "甘苦。");
    EXPECT_EQ(NormalizeFieldText(LF + "甘"), "甘。");
    // Every line break at the start goes, also with spaces or lone line feeds between them.
    EXPECT_EQ(NormalizeFieldText(CRLF + CRLF + "甘"), "甘。");
    EXPECT_EQ(NormalizeFieldText(CRLF + " " + LF + CRLF + "甘"), "甘。");
    EXPECT_EQ(NormalizeFieldText(CRLF + CRLF), " ");
    EXPECT_EQ(NormalizeFieldText("甘" + CRLF), "甘" + CRLF + "。");
    // A lone CR is kept as it is.
    EXPECT_EQ(NormalizeFieldText("甘\r苦"), "甘\r苦。");
    // Spaces around an inner line break go, the break stays.
    EXPECT_EQ(NormalizeFieldText("甘 " + CRLF + " 苦"), "甘" + CRLF + "苦。");
}

// The stored form is a fixed point: a loaded herb saved again without an edit stays as it is.
// Every text of up to five characters from those the rules look at is tried.
TEST(NormalizeFieldText, NormalisingAStoredTextChangesNothing)
{
    const QString alphabet = QStringLiteral(" \r\n.。1９《,\\;甘") + QChar(0xFF0E);
    const qsizetype letters = alphabet.size();
    int tried = 0;
    for (int length = 0; length <= 5; ++length) {
        qsizetype combinations = 1;
        for (int i = 0; i < length; ++i)
            combinations *= letters;
        for (qsizetype code = 0; code < combinations; ++code) {
            QString text;
            for (qsizetype rest = code, i = 0; i < length; ++i, rest /= letters)
                text.append(alphabet[rest % letters]);
            const QString stored = NormalizeFieldText(text);
            ASSERT_EQ(NormalizeFieldText(stored), stored) << "from " << text.toStdString();
            ++tried;
        }
    }
    EXPECT_GT(tried, 100000);
    EXPECT_EQ(NormalizeFieldText("1 .5"), "1.5。"); // the neighbours that stay decide
    EXPECT_EQ(NormalizeFieldText("见 .《本草》"), "见.《本草》。");
}

TEST(NormalizeFieldText, VeryLongTextIsKeptWhole)
{
    QString notes;
    for (int i = 0; i < 20000; ++i)
        notes += (i % 3 == 0) ? QStringLiteral("补气, ") : QStringLiteral("1.5");
    const QString stored = NormalizeFieldText(notes);
    EXPECT_FALSE(stored.contains(' '));
    EXPECT_FALSE(stored.contains(','));
    EXPECT_TRUE(stored.endsWith("。"));
    EXPECT_EQ(stored.count("补气，"), 6667);
    EXPECT_EQ(stored.size(), 6667 * 3 + (20000 - 6667) * 3 + 1);
}
