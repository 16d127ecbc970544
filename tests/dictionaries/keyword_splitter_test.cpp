#include "dictionaries/keyword_splitter.h"
#include "qstring_printer.h"

#include <gtest/gtest.h>

TEST(KeywordSplitter, SplitsTextsIntoKeywords)
{
    const struct {
        const char *text;
        QStringList keywords;
    } cases[] = {
        {"清热泻火，凉血解毒。", {"清热泻火", "凉血解毒"}},
        {"治风寒感冒：头痛、咳嗽。", {"风寒感冒", "头痛", "咳嗽"}},
        {"用于治疗咳嗽。", {"用于", "疗咳嗽"}}, // 治 separates inside a word too
        {"清热(生用)解毒，利湿。", {"清热解毒", "利湿"}},
        {"补气（炙用）。", {"补气"}},
        {"补气(炙用。", {}},
        {"清热解毒", {}}, // no separator closes it
        {" ", {}},
        {"", {}},
        {"补气(炙用，生用。", {}},                 // an unclosed "(" hides the rest
        {"补气，养血（炙用，生用。", {"补气"}},    // so does an unclosed "（"
        {"补气(炙用）)养血。", {"补气养血"}},     // each bracket closes only its own kind
        {"头痛\r\n眩晕，呕吐。", {"头痛\r\n眩晕", "呕吐"}}, // CR LF stays inside the keyword
        {"清 热 解 毒，　利湿。", {"清热解毒", "　利湿"}},  // ASCII spaces go, U+3000 stays
        {"，，。治*；、：补气。", {"补气"}},       // separators in a row give no empty keyword
        {"a,b.c;d:e。", {"a,b.c;d:e"}},            // the ASCII ",.;:" do not separate
        {"牛黄's，冰片。", {"牛黄's", "冰片"}},    // a quote is an ordinary character
    };
    for (const auto &[text, keywords] : cases)
        EXPECT_EQ(dict::splitKeywords(QString::fromUtf8(text)), keywords) << text;
}
