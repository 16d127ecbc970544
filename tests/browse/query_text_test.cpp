#include "browse/grid_model.h"
#include "browse/query_text.h"
#include "datastore/errors.h"
#include "datastore/pinyin_initials.h"
#include "browse_fixture.h"

#include <gtest/gtest.h>

using browse::QueryConditions;

namespace {

struct QueryCase {
    const char *what;
    QueryConditions conditions;
    QString sort;
    QString expected;
};

} // namespace

TEST(QueryText, IsBuiltToTheCharacter)
{
    const QueryCase cases[] = {
        // Empty conditions ask nothing, not even a value: a Null does not hide a herb.
        {"all empty", conditions(" ", "", "  "), "名称", "SELECT * FROM 中医药材 order by 名称"},
        {"every condition, trimmed",
         conditions(" 参 ", "甘 ", " 归脾经", {"补气", " 生津", "安神 "}, {"头痛", "", " 失眠 "}),
         "归经",
         "SELECT * FROM 中医药材 WHERE 名称 like '*参*' and 功效 like '*补气*' and 功效 like '*生津*'"
         " and 功效 like '*安神*' and 归经 like '*归脾经*' and 性味 like '*甘*' and 主治 like '*头痛*'"
         " and 主治 like '*失眠*' order by 归经"},
        {"a quote is doubled, pattern characters stay",
         conditions("人'参", "", "", {"[补]?气", "", ""}, {"", "", "#"}),
         "功效",
         "SELECT * FROM 中医药材 WHERE 名称 like '*人''参*' and 功效 like '*[补]?气*' and 主治 like '*#*' order by 功效"},
        {"latin letters also search the pinyin initials",
         conditions(" dG "),
         "性味",
         "SELECT * FROM 中医药材 WHERE (名称 like '*dG*' or pinyin_initials(名称) like '*dG*') order by 性味"},
        {"letters with anything else are a plain name part",
         conditions("dg'"),
         "名称",
         "SELECT * FROM 中医药材 WHERE 名称 like '*dg''*' order by 名称"},
        {"the start of an alias adds its herb, with and without the final full stop",
         conditions("锦", "甘"),
         "名称",
         "SELECT * FROM 中医药材 WHERE (名称 like '*锦*' or trim(名称) in ('大黄','大黄。')) and 性味 like '*甘*'"
         " order by 名称"},
        {"the initials of an alias too, each herb once, a quote in its name doubled",
         conditions("BS"),
         "名称",
         "SELECT * FROM 中医药材 WHERE (名称 like '*BS*' or pinyin_initials(名称) like '*BS*'"
         " or trim(名称) in ('巴豆''霜','巴豆''霜。')) order by 名称"},
        {"an alias of two herbs",
         conditions("贝"),
         "名称",
         "SELECT * FROM 中医药材 WHERE (名称 like '*贝*' or trim(名称) in ('川贝母','川贝母。','浙贝母','浙贝母。'))"
         " order by 名称"},
        {"an unknown sort choice gives no text", conditions("人参"), "药名", ""},
        {"no sort choice gives no text", conditions(), "", ""},
    };
    for (const QueryCase &c : cases)
        EXPECT_EQ(browse::queryText(c.conditions, c.sort, testAliases()), c.expected) << c.what;
}

TEST(QueryText, WholeTableBySortChoice)
{
    for (const QString &sort : browse::kSortChoices)
        EXPECT_EQ(browse::wholeTableText(sort), "SELECT * FROM 中医药材 order by " + sort);
    EXPECT_EQ(browse::wholeTableText(""), "SELECT * FROM 中医药材 WHERE 名称=''");
    EXPECT_EQ(browse::wholeTableText("名称 "), "SELECT * FROM 中医药材 WHERE 名称=''");
}

TEST(PinyinInitials, HerbNamesReadAsHerbalistsReadThem)
{
    const struct {
        const char *name;
        const char *reading;
        const char *initials;
    } cases[] = {
        {"白术", "bai zhu", "bz"},        {"厚朴。", "hou po", "hp"},      {"薄荷", "bo he", "bh"},
        {"大黄", "da huang", "dh"},       {"地黄", "di huang", "dh"},      {"芫花", "yuan hua", "yh"},
        {"女贞子", "nv zhen zi", "nzz"}, {"葛根", "ge gen", "gg"},        {"柴胡", "chai hu", "ch"},
        {"炒白术。", "chao bai zhu", "cbz"}, {"当归。", "dang gui", "dg"}, {"人参。", "ren shen", "rs"},
        {"红参", "hong shen", "hs"},      {"何首乌", "he shou wu", "hsw"}, {"熟地黄", "shu di huang", "sdh"},
        {"B12片", "B12 pian", "b12p"},
        // The table's names: whole, inside a longer name, and the longest first (蛤蟆 before 蛤).
        {"重楼", "chong lou", "cl"},      {"蛤蚧", "ge jie", "gj"},        {"川芎", "chuan xiong", "cx"},
        {"枳壳", "zhi qiao", "zq"},       {"阿胶", "e jiao", "ej"},        {"淡豆豉", "dan dou chi", "ddc"},
        {"桑螵蛸", "sang piao xiao", "spx"}, {"蛤蟆油", "ha ma you", "hmy"}, {"参苓白术散", "shen ling bai zhu san", "slbzs"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(ds::pinyinReading(QString::fromUtf8(c.name)), QString::fromUtf8(c.reading)) << c.name;
        EXPECT_EQ(ds::pinyinInitials(QString::fromUtf8(c.name)), QString::fromUtf8(c.initials)) << c.name;
    }
    // A search takes the everyday reading too; a name read alike both ways gives one form.
    EXPECT_EQ(ds::searchedInitials("重楼。"), "cl zl");
    EXPECT_EQ(ds::searchedInitials("炒白术"), "cbz cbs");
    EXPECT_EQ(ds::searchedInitials("当归"), "dg");
}

TEST(PinyinInitials, AReadingTableLineIsOneSyllableACharacter)
{
    EXPECT_EQ(ds::parseNameReadings("# 注\n\n重楼\tchong lou\n", "t").size(), 1);
    for (const char *bad : {"重楼\tchong", "重楼 chong lou", "重楼\tchóng lou", "重楼\tchong  lou"})
        EXPECT_THROW(ds::parseNameReadings(QString::fromUtf8(bad), "t"), ds::RunError) << bad;
}

TEST(GridFormat, HeadersKeepTheirSpacesAndAlignment)
{
    const QList<browse::GridColumn> columns = browse::parseFormatString(browse::kGridFormat);
    const QStringList headers{"  药 材 名 称", "归 经", "性  味", "功  用", "主    治", "用   法", "宜     忌"};
    ASSERT_EQ(columns.size(), headers.size());
    for (qsizetype i = 0; i < columns.size(); ++i) {
        EXPECT_EQ(columns[i].header, headers[i]);
        EXPECT_EQ(columns[i].alignment, Qt::AlignLeft);
    }
    const QList<browse::GridColumn> mixed = browse::parseFormatString("^中|>右|无");
    EXPECT_EQ(mixed[0].alignment, Qt::AlignHCenter);
    EXPECT_EQ(mixed[1].alignment, Qt::AlignRight);
    EXPECT_EQ(mixed[2].header, "无");
}
