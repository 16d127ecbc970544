#include "qstring_printer.h"
#include "datastore/data_file.h"
#include "datastore/errors.h"
#include "herbs/herb_lookup.h"
#include "temp_data.h"

#include <gtest/gtest.h>

using namespace herbs;

namespace {

HerbRecord conditions(int field, const QString &text)
{
    HerbRecord fields;
    fields[field] = text;
    return fields;
}

const QString kAny = "'**'";

} // namespace

TEST(ConditionStatement, EveryClauseInItsOrder)
{
    EXPECT_EQ(conditionStatement(conditions(kName, "人参")),
              "SELECT * FROM 中医药材 WHERE 名称 like '*人参*' and 用法 like '**' and 归经 like '**' and "
              "性味 like '**' and 功效 like '**' and 心得 like '**' and 主治 like '**'");

    const HerbRecord all{" 参 ", "肝", "温", "补气", "气虚", "煎服", "不算条件", "久服"};
    EXPECT_EQ(conditionStatement(all),
              "SELECT * FROM 中医药材 WHERE 名称 like '*参*' and 用法 like '*煎服*' and 归经 like '*肝*' and "
              "性味 like '*温*' and 功效 like '*补气*' and 心得 like '*久服*' and 主治 like '*气虚*'");

    EXPECT_EQ(conditionStatement(HerbRecord{}),
              "SELECT * FROM 中医药材 WHERE 名称 like " + kAny + " and 用法 like " + kAny + " and 归经 like " + kAny
                  + " and 性味 like " + kAny + " and 功效 like " + kAny + " and 心得 like " + kAny + " and 主治 like "
                  + kAny);
}

TEST(ConditionStatement, QuoteIsDoubledOtherPatternCharactersStay)
{
    EXPECT_TRUE(conditionStatement(conditions(kNature, "甘'; DROP TABLE 中医药材"))
                    .contains("性味 like '*甘''; DROP TABLE 中医药材*'"));
    EXPECT_TRUE(conditionStatement(conditions(kName, "人?[!a]#*")).contains("名称 like '*人?[!a]#**'"));
    // Line breaks in a condition are part of it.
    EXPECT_TRUE(conditionStatement(conditions(kNotes, "甲\r\n乙")).contains("心得 like '*甲\r\n乙*'"));
}

TEST(ConditionStatement, OnlySevenFieldsAreConditions)
{
    EXPECT_FALSE(hasSearchCondition(HerbRecord{}));
    EXPECT_FALSE(hasSearchCondition(conditions(kCautions, "孕妇")));
    EXPECT_FALSE(hasSearchCondition(conditions(kName, "   ")));
    for (int field : {kName, kMeridian, kNature, kEfficacy, kIndications, kUsage, kNotes})
        EXPECT_TRUE(hasSearchCondition(conditions(field, "x"))) << field;
}

TEST(CountCaptions, TotalAndFound)
{
    EXPECT_EQ(herbCountCaption(12), "12 味");
    EXPECT_EQ(foundCountCaption(3), " 3种");
    EXPECT_EQ(foundCountCaption(418), " 418种");
}

class Lookups : public ::testing::Test {
protected:
    TempHome home;
    QString path = keepOnlyFirstHerbs(copySeedTo(home.file("ccyc.mdb")));
    ds::Database db = ds::openDataFile(path);

    int search(int field, const QString &text)
    {
        return int(runConditionSearch(db, conditions(field, text)).size());
    }
};

TEST_F(Lookups, ConditionSearchCountsAndLeavesItsQueryForTheList)
{
    EXPECT_EQ(search(kNature, "微温"), 3);
    EXPECT_EQ(herbNames(db, kSearchQuery), (QStringList{"人参。", "黄芪。", "熟地黄。"}));
    EXPECT_EQ(search(kMeridian, "肝"), 5);
    EXPECT_EQ(search(kName, "没有这味药"), 0);
}

TEST_F(Lookups, NamesFoundAreThoseOfTheStoredSearch)
{
    // The names are read by a leaner statement than the stored one: both must find the same
    // rows in the same order, Nulls, numbers and pattern characters included.
    db.execute("INSERT INTO 中医药材 VALUES ('无心得参。', '肝', '温', '补气', '气虚', '煎服', ' ', NULL)");
    db.execute("INSERT INTO 中医药材 VALUES (NULL, '肝', '温', '补气', '气虚', '煎服', ' ', ' ')");
    db.execute("INSERT INTO 中医药材 VALUES ('数参。', 12, '温', '补气', '气虚', '煎服', ' ', x'41')");
    const std::pair<int, const char *> cases[] = {
        {kName, "参"},   {kMeridian, "肝"}, {kNature, "温"}, {kEfficacy, "补气"}, {kIndications, "*"},
        {kUsage, "煎服"}, {kNotes, "?"},    {kName, "黄?。"}, {kMeridian, "1#"},   {kNature, "[!甘]"},
        {kName, "dg"},
    };
    for (const auto &[field, text] : cases) {
        const QStringList found = runConditionSearch(db, conditions(field, text));
        const QStringList stored = herbNames(db, kSearchQuery);
        EXPECT_EQ(found, stored) << field << " " << text;
    }
    EXPECT_EQ(runConditionSearch(db, conditions(kMeridian, "1#")), QStringList({"数参。"}));
}

TEST_F(Lookups, NameSearchFindsEveryNameContainingIt)
{
    db.execute("INSERT INTO 中医药材 VALUES ('人参', ' ', ' ', ' ', ' ', ' ', ' ', ' ')");
    db.execute("INSERT INTO 中医药材 VALUES ('西洋人参。', ' ', ' ', ' ', ' ', ' ', ' ', ' ')");
    EXPECT_EQ(search(kName, "人参"), 3);
}

TEST_F(Lookups, NameOfLatinLettersAlsoMatchesPinyinInitials)
{
    EXPECT_TRUE(conditionStatement(conditions(kName, " dg ")).startsWith(
        "SELECT * FROM 中医药材 WHERE (名称 like '*dg*' or pinyin_initials(名称) like '*dg*') and 用法 like '**'"));
    EXPECT_EQ(runConditionSearch(db, conditions(kName, "dg")), QStringList({"当归。"}));
    EXPECT_EQ(runConditionSearch(db, conditions(kName, "RS")), QStringList({"人参。"}));
    EXPECT_EQ(search(kName, "bz"), 1); // 白术 reads bai zhu
}

TEST_F(Lookups, NullInAnyConditionColumnIsNeverFound)
{
    db.execute("INSERT INTO 中医药材 (名称, 归经, 性味, 功效, 主治, 用法, 宜忌) "
               "VALUES ('导入参', '肝', '温', '补气', '气虚', '煎服', ' ')");
    EXPECT_EQ(search(kName, "导入参"), 0);
}

TEST_F(Lookups, QuoteIsSearchedAsACharacter)
{
    db.execute("INSERT INTO 中医药材 VALUES ('It''s。', ' ', ' ', ' ', ' ', ' ', ' ', ' ')");
    EXPECT_EQ(search(kName, "It's"), 1);
    EXPECT_EQ(search(kName, "'"), 1);
    EXPECT_EQ(search(kName, "x'); DELETE * FROM 中医药材; --"), 0);
    EXPECT_EQ(db.openDynaset("select count(*) FROM 中医药材").field(0).toInt(), 13);
}

TEST_F(Lookups, PatternCharactersKeepTheirMeaning)
{
    EXPECT_EQ(search(kName, "黄?。"), 2);       // 黄芪。 黄连。, not 熟地黄。
    EXPECT_EQ(search(kName, "[人当]"), 2);     // 人参。 当归。
    EXPECT_EQ(search(kUsage, "煎服，#～"), 11); // one digit before the range sign: not 茯苓 (10～15)
}

TEST_F(Lookups, DistinctValuesAreSortedTrimmedAndKeepTheListWhenEmpty)
{
    db.execute("UPDATE 中医药材 SET 性味 = ' ' WHERE 名称 = '黄连。'");
    const auto natures = distinctValues(db, kNatureValuesSql);
    ASSERT_TRUE(natures);
    EXPECT_EQ(natures->first(), "");              // the stored blank sorts first
    EXPECT_EQ(natures->count("甘，微温。"), 1);    // distinct
    EXPECT_EQ(natures->size(), 11);
    EXPECT_EQ(db.queryText("000"), kNatureValuesSql);

    db.execute("DELETE * FROM 中医药材");
    EXPECT_FALSE(distinctValues(db, kMeridianValuesSql));
    db.execute("INSERT INTO 中医药材 (名称) VALUES ('只有名称')");
    EXPECT_FALSE(distinctValues(db, kMeridianValuesSql)); // nothing but a Null

    // An imported Null sorts first and is passed over; the values after it still list.
    db.execute("INSERT INTO 中医药材 (名称, 归经) VALUES ('有归经', '归肝经。')");
    EXPECT_EQ(distinctValues(db, kMeridianValuesSql), QStringList({"归肝经。"}));
}

TEST_F(Lookups, NameListFollowsItsSource)
{
    const QStringList all = herbNames(db, kHerbTable);
    EXPECT_EQ(all.size(), 12);
    EXPECT_EQ(all.first(), "人参。");
    EXPECT_EQ(all.last(), "黄连。");
}
