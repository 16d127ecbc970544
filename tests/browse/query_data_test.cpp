#include "browse/grid_rows.h"
#include "browse/herb_detail.h"
#include "browse/pick_lists.h"
#include "browse/query_text.h"
#include "browse_fixture.h"
#include "datastore/errors.h"
#include "datastore/pinyin_collation.h"

#include <QAbstractItemModelTester>

namespace {

// Herbs whose texts make each query below tell right from wrong.
const QList<QVariantList> kHerbs{
    {"人参。", "归脾、肺经。", "甘，微温。", "大补元气，补脾益肺，生津。", "体虚欲脱，头痛。"},
    {"红参。", "归脾经。", "甘，温。", "大补元气，复脉固脱。", "肢冷脉微。"},
    {"当归。", "归肝、心经。", "甘、辛，温。", "补血活血，调经止痛。", "月经不调，头痛。"},
    {"何首乌。", "归肝、肾经。", "苦，微温。", "补肝肾，益精血。", "须发早白。"},
    {"党参。", "归脾经。", "甘，平。", "补脾益肺，生津。", "脾虚食少。"},
    {"金银花。", "归肺经。", "甘，温。", "清热解毒，疏散风热。", "痈肿疔疮。"},
    {"巴豆'霜。", "归胃经。", "辛，热。", "峻下冷积。", "寒积便秘。"},
};

class QueryOnData : public BrowseData {
protected:
    void SetUp() override { setHerbs(kHerbs); }

    // The names the query finds, in its order; empty when it finds nothing.
    QStringList found(const browse::QueryConditions &query, const QString &sort = "名称",
                      const ds::AliasTable &aliases = testAliases()) const
    {
        ds::Database db = ds::openDataFile(dataFile);
        const QString text = browse::queryText(query, sort, aliases);
        const std::optional<QList<browse::GridRow>> rows = browse::runQuery(db, text);
        EXPECT_EQ(db.queryText(browse::kScratchQuery), text);
        QStringList names;
        for (const browse::GridRow &row : rows.value_or(QList<browse::GridRow>()))
            names.append(row.cell(0));
        return names;
    }
};

using browse::QueryConditions;

} // namespace

TEST_F(QueryOnData, ConditionsMatchAsTheyShould)
{
    const struct {
        const char *what;
        QueryConditions conditions;
        QStringList expected;
    } cases[] = {
        {"empty conditions find every herb, in pinyin order", conditions(),
         {"巴豆'霜。", "当归。", "党参。", "何首乌。", "红参。", "金银花。", "人参。"}},
        {"a part from the middle of a name", conditions("首"), {"何首乌。"}},
        {"\"?\" stands for one character", conditions("?参。"), {"党参。", "红参。", "人参。"}},
        {"\"?\" matches the one character between", conditions("何?乌"), {"何首乌。"}},
        {"\"?\" twice needs two characters", conditions("何??乌"), {}},
        {"two efficacy keywords in one herb", conditions("", "", "", {"生津", "补脾益肺", ""}), {"党参。", "人参。"}},
        {"two efficacy keywords never together", conditions("", "", "", {"生津", "清热解毒", ""}), {}},
        {"the same keyword twice is one condition", conditions("", "", "", {"大补元气", "大补元气", ""}), {"红参。", "人参。"}},
        {"indication with meridian and nature", conditions("", "甘，温", "脾", {}, {"肢冷"}), {"红参。"}},
        {"a quote is a character", conditions("豆'"), {"巴豆'霜。"}},
        {"pinyin initials", conditions("dg"), {"当归。"}},
        {"pinyin initials in capitals", conditions("RS"), {"人参。"}},
        {"pinyin initials inside longer ones", conditions("hs"), {"何首乌。", "红参。"}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(found(c.conditions), c.expected) << c.what;
}

TEST_F(QueryOnData, InitialsFollowTheHerbalReadingAndTheEverydayOne)
{
    setHerbs({{"重楼。"}, {"猪苓。"}, {"蛤蚧。"}});
    const std::pair<const char *, QStringList> cases[] = {
        {"cl", {"重楼。"}}, {"zl", {"重楼。", "猪苓。"}}, {"hj", {"蛤蚧。"}}, {"lz", {}}, // no initials across the two
    };
    for (const auto &[typed, expected] : cases)
        EXPECT_EQ(found(conditions(typed)), expected) << typed;
}

TEST_F(QueryOnData, ANameAlsoFindsTheHerbsOfTheAliasesItMatches)
{
    // 大黄 imported without its full stop and with spaces; a clinic's own 云苓 beside 茯苓.
    setHerbs({{"茯苓。"}, {" 大黄 "}, {"川贝母。"}, {"浙贝母。"}, {"云苓。"}, {"人参。"}});
    const struct {
        const char *what;
        QString name;
        QStringList expected;
    } cases[] = {
        {"a whole alias", "川军", {" 大黄 "}},
        {"a part of an alias", "锦", {" 大黄 "}},
        {"pattern characters keep their meaning on aliases", "?军", {" 大黄 "}},
        {"the initials of an alias", "JW", {" 大黄 "}},
        {"an alias of two herbs", "象贝", {"浙贝母。"}},
        {"own names and aliases together, in name order", "川", {" 大黄 ", "川贝母。"}}, // a space sorts first
        {"a stored herb named like an alias stays found", "云苓", {"茯苓。", "云苓。"}},
        {"initials of own name and of alias", "yl", {"茯苓。", "云苓。"}},
        {"no alias, no herb", "茯灵甲", {}},
        {"a part inside an alias is none: from its start only", "军", {}},
        {"nor inside an alias's initials", "w", {}},
    };
    for (const auto &c : cases) {
        QStringList stored;
        ds::Database db = ds::openDataFile(dataFile);
        for (const browse::GridRow &row : browse::runQuery(db, browse::queryText(conditions(c.name), "名称", testAliases()))
                                              .value_or(QList<browse::GridRow>()))
            stored.append(row.storedName());
        EXPECT_EQ(stored, c.expected) << c.what;
    }
    // Without aliases the name finds only what its own text holds.
    EXPECT_EQ(found(conditions("川军"), "名称", ds::AliasTable()), QStringList());
}

TEST_F(QueryOnData, AnEmptyConditionAlsoFindsAHerbWithNothingInThatColumn)
{
    setHerbs({{"人参。", "归脾经。", "甘。", "补气。", QVariant()},
              {"当归。", QVariant(), QVariant(), QVariant(), "头痛。"},
              {QVariant(), "归肝经。", "苦。", "补血。", "头痛。"}});
    // What the screen opens with: the whole table, as 清屏 shows it.
    EXPECT_EQ(found(conditions()), QStringList({"", "当归。", "人参。"}));
    EXPECT_EQ(found(conditions("参")), QStringList({"人参。"}));
    EXPECT_EQ(found(conditions("", "", "", {}, {"头痛", "", ""})), QStringList({"", "当归。"}));
    EXPECT_EQ(found(conditions("", "", "", {"补", "", ""})), QStringList({"", "人参。"}));
}

TEST_F(QueryOnData, SortChoiceOrdersTheSameHerbs)
{
    const QueryConditions ginseng = conditions("参");
    EXPECT_EQ(found(ginseng, "名称"), QStringList({"党参。", "红参。", "人参。"}));
    // 甘，平 < 甘，微温 < 甘，温 in pinyin order (ping, wei, wen).
    EXPECT_EQ(found(ginseng, "性味"), QStringList({"党参。", "人参。", "红参。"}));
}

TEST_F(QueryOnData, WholeTableRowsAreTrimmedAndNullIsAnEmptyCell)
{
    setHerbs({{"  甘草。 ", " 归心经。", QVariant(), "补脾益气。", "咳嗽。", " ", "宜忌 "},
              {"白芍。", QVariant(), "苦。", "养血。", "腹痛。"}});
    ds::Database db = ds::openDataFile(dataFile);
    const QList<browse::GridRow> rows = browse::loadWholeTable(db, "名称");
    ASSERT_EQ(rows.size(), 2);
    // The stored leading spaces sort 甘草 first; only the cells are trimmed.
    const auto cells = [](const browse::GridRow &row) {
        QStringList texts;
        for (int column = 0; column < browse::kGridColumns; ++column)
            texts.append(row.cell(column));
        return texts;
    };
    EXPECT_EQ(cells(rows[0]), QStringList({"甘草。", "归心经。", "", "补脾益气。", "咳嗽。", "", "宜忌"}));
    EXPECT_EQ(cells(rows[1]), QStringList({"白芍。", "", "苦。", "养血。", "腹痛。", "", ""}));
    EXPECT_EQ(rows[0].storedName(), "  甘草。 ");

    // Cells are kept as stored and made texts when asked: a leading byte order mark stays part
    // of the name it is stored with, and a binary value reads as its text.
    setHerbs({{QString(QChar(0xFEFF)) + "黄芪。 ", QByteArray(" 归脾经。 ")}});
    const QList<browse::GridRow> marked = browse::loadWholeTable(db, "名称");
    ASSERT_EQ(marked.size(), 1);
    EXPECT_EQ(marked[0].storedName(), QString(QChar(0xFEFF)) + "黄芪。 ");
    EXPECT_EQ(cells(marked[0]).first(2), QStringList({QString(QChar(0xFEFF)) + "黄芪。", "归脾经。"}));
    EXPECT_EQ(db.queryText(browse::kScratchQuery), "SELECT * FROM 中医药材 order by 名称");

    // A herb without a name sorts first and still does not hide the herbs after it.
    setHerbs({{QVariant(), "归心经。"}, {"白芍。"}});
    EXPECT_EQ(browse::loadWholeTable(db, "名称").size(), 2);

    EXPECT_TRUE(browse::loadWholeTable(db, "其他").isEmpty());
    // A sort choice the query does not know leaves no text to run: the engine refuses it.
    EXPECT_THROW(browse::runQuery(db, browse::queryText(conditions(), "其他")), ds::RunError);
    setHerbs({});
    EXPECT_TRUE(browse::loadWholeTable(db, "名称").isEmpty());
}

TEST_F(QueryOnData, GridModelPassesTheModelTester)
{
    browse::HerbGridModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    ds::Database db = ds::openDataFile(dataFile);
    model.setRows(browse::loadWholeTable(db, "归经"));
    ASSERT_EQ(model.rowCount(), kHerbs.size());
    EXPECT_EQ(model.columnCount(), 7);
    EXPECT_EQ(model.headerData(3, Qt::Horizontal).toString(), "功  用");
    EXPECT_EQ(model.headerData(0, Qt::Vertical).toString(), "");
    EXPECT_EQ(model.cell(0, 1), "归肺经。");
    EXPECT_EQ(model.data(model.index(0, 0)).toString(), "金银花。");
    // The name cell's tooltip lists the herb's aliases; no table, or no alias, no tooltip.
    EXPECT_FALSE(model.data(model.index(0, 0), Qt::ToolTipRole).isValid());
    const ds::AliasTable aliases(ds::parseAliasTable("金银花\t双花、银花\n", "test"));
    model.setAliases(&aliases);
    EXPECT_EQ(model.data(model.index(0, 0), Qt::ToolTipRole).toString(), "别名：双花、银花");
    // Found through an alias, it says which; found by its own name or initials, it does not.
    model.setTypedName("双");
    EXPECT_EQ(model.data(model.index(0, 0), Qt::ToolTipRole).toString(), "别名：双花、银花\n由别名“双花”查到");
    for (const char *own : {"银", "yh"}) {
        model.setTypedName(own);
        EXPECT_EQ(model.data(model.index(0, 0), Qt::ToolTipRole).toString(), "别名：双花、银花") << own;
    }
    EXPECT_FALSE(model.data(model.index(0, 1), Qt::ToolTipRole).isValid());
    EXPECT_FALSE(model.data(model.index(1, 0), Qt::ToolTipRole).isValid());
    model.setRows({});
    EXPECT_EQ(model.rowCount(), 0);
}

TEST_F(QueryOnData, DetailIsUntrimmedAndFoundByExactName)
{
    setHerbs({{"人参。", "归脾经。", "甘。", "补气。 ", " 虚脱。", "煎服。", QVariant(), "心得"}, {"巴豆'霜。"}});
    ds::Database db = ds::openDataFile(dataFile);
    const auto ginseng = browse::lookUpHerb(db, "人参。");
    ASSERT_TRUE(ginseng);
    EXPECT_EQ(*ginseng, (herbs::HerbRecord{"人参。", "归脾经。", "甘。", "补气。 ", " 虚脱。", "煎服。", "", "心得"}));
    EXPECT_TRUE(browse::lookUpHerb(db, "巴豆'霜。"));
    EXPECT_FALSE(browse::lookUpHerb(db, "人参"));
    EXPECT_FALSE(browse::lookUpHerb(db, "人参。' OR '1'='1"));
}

TEST_F(QueryOnData, PickListsAreDistinctAndInPinyinOrder)
{
    setDictionary("药材功效", {"生津", "补气", "生津", "安神"});
    setDictionary("药材主治", {"头痛", "头痛", "失眠", "腹痛"});
    ds::Database db = ds::openDataFile(dataFile);
    EXPECT_EQ(browse::pickListItems(db, browse::kEfficacyListSql), QStringList({"安神", "补气", "生津"}));
    // Pasted with a byte order mark: an item of its own, listed as stored so it finds its rows.
    const QString marked = QChar(0xFEFF) + QStringLiteral("安神");
    db.execute("INSERT INTO 药材功效 VALUES (?1)", {marked});
    EXPECT_TRUE(browse::pickListItems(db, browse::kEfficacyListSql).contains(marked));
    // Neither as stored nor by character code (失, 头, 腹): in pinyin order.
    EXPECT_EQ(browse::pickListItems(db, browse::kIndicationListSql), QStringList({"腹痛", "失眠", "头痛"}));
    const QStringList natures = browse::pickListItems(db, browse::kNatureListSql);
    EXPECT_EQ(natures.size(), 6); // 甘，温。 twice in the table, once in the list
    EXPECT_LT(natures.indexOf("甘，平。"), natures.indexOf("甘，温。"));
    EXPECT_LT(natures.indexOf("甘，温。"), natures.indexOf("苦，微温。"));
    EXPECT_LT(natures.indexOf("苦，微温。"), natures.indexOf("辛，热。"));
    EXPECT_THROW(browse::pickListItems(db, "select DISTINCT * FROM 无此表"), ds::RunError);
}

// On the shipped table: the items are the engine's own DISTINCT, sorted by the collator alone.
TEST(PickLists, ShippedTableGivesTheEnginesDistinctValuesInTheCollatorsOrder)
{
    TempHome home;
    ds::Database db = ds::openDataFile(copySeedTo(home.file("ccyc.mdb")));
    // Every herb's whole text as a dictionary row, twice: a dictionary with duplicates and Nulls.
    for (int twice = 0; twice < 2; ++twice) {
        db.execute("INSERT INTO 药材功效 SELECT 功效 FROM 中医药材");
        db.execute("INSERT INTO 药材主治 SELECT 主治 FROM 中医药材");
    }
    db.execute("INSERT INTO 药材功效 VALUES ('补气。 ')"); // one blank more: another item
    const std::pair<QString, const char *> lists[] = {
        {browse::kNatureListSql, "SELECT DISTINCT 性味 FROM 中医药材 WHERE 性味 IS NOT NULL"},
        {browse::kMeridianListSql, "SELECT DISTINCT 归经 FROM 中医药材 WHERE 归经 IS NOT NULL"},
        {browse::kEfficacyListSql, "SELECT DISTINCT 药材功效 FROM 药材功效 WHERE 药材功效 IS NOT NULL"},
        {browse::kIndicationListSql, "SELECT DISTINCT 药材主治 FROM 药材主治 WHERE 药材主治 IS NOT NULL"}};
    for (const auto &[source, distinct] : lists) {
        std::vector<std::string> expected;
        for (const QString &value : db.readColumn(distinct, 0).texts)
            expected.push_back(value.toStdString());
        ASSERT_GT(expected.size(), 5u) << distinct;
        std::sort(expected.begin(), expected.end(),
                  [](const std::string &a, const std::string &b) { return ds::comparePinyinByCollator(a, b) < 0; });
        QStringList items;
        for (const std::string &value : expected)
            items.append(QString::fromStdString(value));
        EXPECT_EQ(browse::pickListItems(db, source), items) << distinct;
    }
}
