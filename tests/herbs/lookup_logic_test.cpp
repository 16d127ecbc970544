#include "qstring_printer.h"
#include "datastore/data_file.h"
#include "datastore/errors.h"
#include "datastore/herb_aliases.h"
#include "datastore/pinyin_collation.h"
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
const ds::AliasTable kNoAliases;

// The refusal the alias table's reading gives, with the shipped herbs 茯苓 and 大黄; empty when
// the text is read.
QString aliasRefusal(const QString &text)
{
    const QSet<QString> shipped{"茯苓", "大黄"};
    try {
        ds::parseAliasTable(text, "aliases.tsv", &shipped);
    } catch (const ds::RunError &error) {
        return error.description();
    }
    return {};
}

} // namespace

TEST(ConditionStatement, EveryClauseInItsOrder)
{
    EXPECT_EQ(conditionStatement(conditions(kName, "人参"), kNoAliases),
              "SELECT * FROM 中医药材 WHERE 名称 like '*人参*' and 用法 like '**' and 归经 like '**' and "
              "性味 like '**' and 功效 like '**' and 心得 like '**' and 主治 like '**'");

    const HerbRecord all{" 参 ", "肝", "温", "补气", "气虚", "煎服", "不算条件", "久服"};
    EXPECT_EQ(conditionStatement(all, kNoAliases),
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
    EXPECT_TRUE(conditionStatement(conditions(kName, "人?[!a]#*"), kNoAliases).contains("名称 like '*人?[!a]#**'"));
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

TEST(AliasTable, ABadLineIsRefusedNamingItsLine)
{
    EXPECT_EQ(aliasRefusal("# 来源\n\n茯苓\t云苓、茯灵\r\n大黄\t川军\n"), "");
    const std::pair<QString, QString> cases[] = {
        {"茯苓\t云苓\n大黄川军\n", "aliases.tsv:2: no tab"},
        {"猪苓\t豕苓\n", "aliases.tsv:1: 猪苓 is not a shipped herb"},
        {"茯苓\t云苓、大黄\n", "aliases.tsv:1: alias 大黄 is the name of a shipped herb"},
        {"茯苓\t茯苓\n", "aliases.tsv:1: alias 茯苓 is the name"},
        {"茯苓\t云苓、茯灵、云苓\n", "aliases.tsv:1: alias 云苓 twice"},
        {"茯苓\t云 苓\n", "aliases.tsv:1: \"云 苓\" holds a space"},
        {"茯苓\t云苓\u3000\n", "aliases.tsv:1: \"云苓\u3000\" holds a space"},
        {"茯苓。\t云苓\n", "aliases.tsv:1: \"茯苓。\" holds a space or \"。\""},
        {"茯苓\t云苓、\n", "aliases.tsv:1: an empty name"},
        {"茯苓\t\n", "aliases.tsv:1: an empty name"},
    };
    for (const auto &[text, message] : cases)
        EXPECT_TRUE(aliasRefusal(text).startsWith(message)) << aliasRefusal(text).toStdString();
}

TEST(AliasTable, ExactNamesForEnterAllAliasesOfAHerbForItsTooltip)
{
    const ds::AliasTable aliases(ds::parseAliasTable("茯苓\t云苓\n川贝母\t贝母\n浙贝母\t贝母\n茯苓\t茯灵\n", "t"));
    EXPECT_EQ(aliases.herbsNamedBy(" 贝母。"), QStringList({"川贝母", "浙贝母"}));
    EXPECT_EQ(aliases.herbsNamedBy("贝"), QStringList());
    EXPECT_EQ(aliases.aliasesOf(" 茯苓。"), QStringList({"云苓", "茯灵"})); // two lines merge
    EXPECT_EQ(aliases.aliasesOf("云苓"), QStringList());
    EXPECT_EQ(aliases.herbsMatching(" "), QStringList());
    // Half a character typed alone is no "?" of the like rules.
    EXPECT_EQ(aliases.herbsMatching(QStringLiteral("云") + QChar(0xD800)), QStringList());
    // A part of an alias from its start only, and a whole name the table knows names itself alone.
    const ds::AliasTable &shipped = ds::shippedAliases();
    EXPECT_TRUE(shipped.herbsMatching("苦丁").contains("瓜蒂"));
    const std::pair<const char *, const char *> notFound[] = {{"丁香", "瓜蒂"}, {"五加皮", "香加皮"}, {"苦参", "鸦胆子"}};
    for (const auto &[typed, herb] : notFound)
        EXPECT_FALSE(shipped.herbsMatching(typed).contains(herb)) << typed;
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
    // Two typed conditions and the Null tests of the empty ones all hold together.
    HerbRecord two = conditions(kMeridian, "肝");
    two[kUsage] = "煎";
    const QStringList found = runConditionSearch(db, two);
    EXPECT_EQ(found, herbNames(db, kSearchQuery));
    EXPECT_FALSE(found.isEmpty());
    EXPECT_FALSE(found.contains("无心得参。")); // 肝 and 煎服, but no 心得
}

TEST_F(Lookups, NameSearchFindsEveryNameContainingIt)
{
    db.execute("INSERT INTO 中医药材 VALUES ('人参', ' ', ' ', ' ', ' ', ' ', ' ', ' ')");
    db.execute("INSERT INTO 中医药材 VALUES ('西洋人参。', ' ', ' ', ' ', ' ', ' ', ' ', ' ')");
    EXPECT_EQ(search(kName, "人参"), 3);
}

TEST_F(Lookups, NameOfLatinLettersAlsoMatchesPinyinInitials)
{
    EXPECT_TRUE(conditionStatement(conditions(kName, " dg "), kNoAliases).startsWith(
        "SELECT * FROM 中医药材 WHERE (名称 like '*dg*' or pinyin_initials(名称) like '*dg*') and 用法 like '**'"));
    EXPECT_EQ(runConditionSearch(db, conditions(kName, "dg")), QStringList({"当归。"}));
    EXPECT_EQ(runConditionSearch(db, conditions(kName, "RS")), QStringList({"人参。"}));
    EXPECT_EQ(search(kName, "bz"), 1); // 白术 reads bai zhu
    // Enter in 名称 takes whole initials, by either reading.
    db.execute("INSERT INTO 中医药材 VALUES ('重楼。', ' ', ' ', ' ', ' ', ' ', ' ', ' ')");
    for (const char *typed : {"cl", "ZL"})
        EXPECT_EQ(herbsByInitials(db, typed), QStringList({"重楼。"})) << typed;
    EXPECT_TRUE(herbsByInitials(db, "l").isEmpty());
}

TEST_F(Lookups, ShippedAliasesFindTheirHerbs)
{
    // Aliases every clinic writes, on the herbs of this table: 茯苓, 白芍, 金银花, 熟地黄.
    EXPECT_EQ(runConditionSearch(db, conditions(kName, "云苓")), QStringList({"茯苓。"}));
    EXPECT_EQ(herbNames(db, kSearchQuery), QStringList({"茯苓。"}));
    EXPECT_EQ(runConditionSearch(db, conditions(kName, "杭")), QStringList({"白芍。"}));
    EXPECT_EQ(runConditionSearch(db, conditions(kName, "双花")), QStringList({"金银花。"}));
    EXPECT_TRUE(runConditionSearch(db, conditions(kName, "yl")).contains("茯苓。"));
    EXPECT_TRUE(runConditionSearch(db, conditions(kName, "熟地")).contains("熟地黄。"));
}

TEST_F(Lookups, EnterFindsTheStoredNameFirstThenTheHerbsOfTheAlias)
{
    const TypedNameLookup poria = lookUpTypedName(db, " 云苓 ");
    ASSERT_TRUE(poria.herb);
    EXPECT_EQ((*poria.herb)[kName], "茯苓。");
    EXPECT_EQ(poria.aliasNote, "云苓 → 茯苓");

    // 川军 names 大黄, which this clinic's file does not hold.
    const TypedNameLookup rhubarb = lookUpTypedName(db, "川军");
    EXPECT_FALSE(rhubarb.herb);
    EXPECT_EQ(rhubarb.aliasNote, "");

    db.execute("INSERT INTO 中医药材 VALUES ('川贝母。', ' ', ' ', ' ', ' ', ' ', ' ', ' ')");
    db.execute("INSERT INTO 中医药材 VALUES ('浙贝母', ' ', ' ', ' ', ' ', ' ', ' ', ' ')"); // imported
    const TypedNameLookup fritillary = lookUpTypedName(db, "贝母。");
    EXPECT_FALSE(fritillary.herb);
    EXPECT_EQ(fritillary.choices, QStringList({"川贝母。", "浙贝母"}));
    EXPECT_EQ(fritillary.aliasNote, "贝母 → 川贝母、浙贝母");

    // A clinic's own herb stored under an alias's name is the one Enter loads.
    db.execute("INSERT INTO 中医药材 VALUES ('云苓。', '自己的。', ' ', ' ', ' ', ' ', ' ', ' ')");
    const TypedNameLookup own = lookUpTypedName(db, "云苓");
    ASSERT_TRUE(own.herb);
    EXPECT_EQ((*own.herb)[kMeridian], "自己的。");
    EXPECT_EQ(own.aliasNote, "");
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
    // The rows' own order, not the name index's order of character codes (茯 before 黄).
    db.execute("INSERT INTO 中医药材 VALUES ('丁香。', ' ', ' ', ' ', ' ', ' ', ' ', ' ')");
    const QStringList all = herbNames(db, kHerbTable);
    EXPECT_EQ(all.size(), 13);
    EXPECT_EQ(all.first(), "人参。");
    EXPECT_EQ(all.mid(5, 3), QStringList({"茯苓。", "川芎。", "白芍。"}));
    EXPECT_EQ(all.last(), "丁香。");
}

TEST(SeedOrder, TheShippedHerbsListInPinyinOrder)
{
    TempHome home;
    ds::Database db = ds::openDataFile(copySeedTo(home.file("ccyc.mdb")));
    const QStringList names = herbNames(db, kHerbTable);
    ASSERT_GT(names.size(), 400);
    for (qsizetype i = 1; i < names.size(); ++i) {
        const QByteArray before = names[i - 1].toUtf8();
        const QByteArray after = names[i].toUtf8();
        ASSERT_LT(ds::comparePinyin(before.toStdString(), after.toStdString()), 0) << i;
    }
}
