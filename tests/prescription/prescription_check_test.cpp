#include "datastore/data_file.h"
#include "formulas/formula_table.h"
#include "prescription/dose_range.h"
#include "prescription/pad_data.h"
#include "qstring_printer.h"
#include "temp_data.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// The findings as "rule level: text", one a line, for comparing and for failure messages.
QStringList shown(const QList<rx::Finding> &findings)
{
    QStringList lines;
    for (const rx::Finding &f : findings)
        lines.append(f.text);
    return lines;
}

class PrescriptionCheck : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        home = std::make_unique<TempHome>();
        ds::Database db = ds::openDataFile(home->installSeed());
        data = std::make_shared<rx::PadData>(db);
    }
    static void TearDownTestSuite()
    {
        data.reset();
        home.reset();
    }
    QList<rx::Finding> check(const QString &typed, bool pregnant = false, const QString &usage = QString()) const
    {
        return data->check().check({rx::linesFromText(typed), pregnant, usage});
    }

    static inline std::unique_ptr<TempHome> home;
    static inline std::shared_ptr<rx::PadData> data;
};

TEST_F(PrescriptionCheck, FindsEachRuleByTheHerbWhateverNameIsWritten)
{
    // Each finding expected, by the start of its text; nothing else may be found.
    const struct {
        const char *typed;
        bool pregnant;
        QStringList expected;
    } cases[] = {
        {"云苓15 川军6 甘草6 甘遂1.5", false, {"十八反（禁忌）：甘草与甘遂相反", "毒性（提示）：甘遂有毒"}},
        {"白附子6 半夏9", false, {"毒性（提示）：白附子有毒", "毒性（提示）：半夏有毒"}},
        {"赤芍10 藜芦0.5", false, {"十八反（禁忌）：赤芍与藜芦相反", "毒性（提示）：藜芦有毒"}},
        {"党参10 黑藜芦0.5", false, {"十八反（禁忌）：党参与黑藜芦（藜芦）相反", "毒性（提示）：黑藜芦（藜芦）有毒"}},
        {"天花粉10 川乌3", false, {"十八反（禁忌）：天花粉与川乌相反", "毒性（提示）：川乌有大毒，用法所载用量1.5～3克"}},
        {"炙甘草6 海藻10", false, {"十八反（禁忌）：炙甘草与海藻相反；古方海藻玉壶汤即有此配伍"}},
        {"巴豆霜0.1 二丑6", false,
         {"十九畏（禁忌）：巴豆霜与二丑（牵牛子）相畏", "毒性（提示）：巴豆霜有大毒", "毒性（提示）：二丑（牵牛子）有毒"}},
        // 苦丁香 is 瓜蒂, not 丁香; the classical formula that holds 丁香 with 郁金 is named.
        {"苦丁香1 丁香3 郁金10", false,
         {"十九畏（禁忌）：丁香与郁金相畏；古方十香返魂丹即有此配伍", "毒性（提示）：苦丁香（瓜蒂）有毒"}},
        {"北五加皮3 五加皮10", false, {"毒性（提示）：北五加皮（香加皮）有毒"}},
        {"桃仁10 麝香0.05 党参10", true, {"妊娠禁用（禁忌）：麝香孕妇禁用", "妊娠慎用（慎用）：桃仁孕妇慎用"}},
        {"桃仁10 麝香0.05", false, {}},
        {"细辛3 附子15 人参9", false, {"毒性（提示）：附子有毒"}},
        {"细辛10 附子20 人参12", false,
         {"超量（禁忌）：附子20g，超过用法所载用量3～15克的上限", "超量（慎用）：细辛10g，超过用法所载用量1～3克的上限",
          "超量（提示）：人参12g", "毒性（提示）：附子有毒"}},
        {"茯苓6 云苓6", false, {"重复（提示）：茯苓、云苓（茯苓）是同一味药"}},
        {"茯苓10 云苓10", false, {"超量（提示）：茯苓、云苓（茯苓）共20g", "重复（提示）：茯苓、云苓（茯苓）是同一味药"}},
        {"半夏9 法夏9", false, {"毒性（提示）：半夏有毒", "重复（提示）：半夏、法夏（法半夏）同是半夏（原药与炮制品）"}},
        {"焦三仙30 麦芽5", false, {"重复（提示）：焦麦芽（麦芽）、麦芽是同一味药"}},
        {"仙丹草9 黄芪10 粳米15", false, {"未知（提示）：“仙丹草”不是药材表中的药名、别名或辅料"}},
    };
    for (const auto &c : cases) {
        const QStringList found = shown(check(QString::fromUtf8(c.typed), c.pregnant));
        bool alike = found.size() == c.expected.size();
        for (qsizetype i = 0; alike && i < found.size(); ++i)
            alike = found[i].startsWith(c.expected[i]);
        EXPECT_TRUE(alike) << c.typed << "\nfound:    " << found.join(" | ").toStdString()
                           << "\nexpected: " << c.expected.join(" | ").toStdString();
    }
}

TEST_F(PrescriptionCheck, FindingsNameTheirLinesAndCarryTheHerbsCautions)
{
    const QList<rx::Finding> found = check("云苓15 川军6 甘草6 甘遂1.5");
    ASSERT_FALSE(found.isEmpty());
    EXPECT_EQ(found[0].lines, QList<int>({2, 3}));
    ASSERT_EQ(found[0].cautions.size(), 2);
    EXPECT_TRUE(found[0].cautions[0].startsWith("甘草：") && found[0].cautions[1].startsWith("甘遂：")) << found[0].cautions.join("|").toStdString();
    EXPECT_EQ(rx::printQuestions(found), QStringList({"处方中有配伍禁忌：十八反：甘草与甘遂相反。仍要打印吗？"}));
    EXPECT_EQ(rx::printQuestions(check("仙丹草9")), QStringList({"处方中有药材表里没有的药名：“仙丹草”。仍要打印吗？"}));
}

TEST_F(PrescriptionCheck, ClassicalFormulasAsWrittenInTheSeedGiveNoFinding)
{
    ds::Database db = ds::openDataFile(ds::dataPaths().dataFile);
    for (const char *name : {"四君子汤", "逍遥散"}) {
        const formulas::FormulaRecord formula = *formulas::findFormula(db, name);
        const QStringList found =
            shown(check(formula[formulas::kComposition], false, formula[formulas::kUsage]));
        EXPECT_TRUE(found.isEmpty()) << name << ": " << found.join(" | ").toStdString();
    }
    // 逍遥散's doses are a batch of powder; taken as one decoction they are too much.
    EXPECT_FALSE(check("柴胡30g、当归30g", false, "水煎服").isEmpty());
}

TEST_F(PrescriptionCheck, AUsageWithoutARangeIsSaidOnceAndOnlyWhenDosed)
{
    ds::Database db = ds::openDataFile(ds::dataPaths().dataFile);
    db.execute("UPDATE 中医药材 SET 用法 = '随证酌定。' WHERE 名称 = '黄芪。'");
    const rx::PadData edited(db);
    const auto findings = [&](const char *typed) { return shown(edited.check().check({rx::linesFromText(typed), false, {}})); };
    EXPECT_EQ(findings("黄芪30 生芪20"),
              QStringList({"超量（提示）：黄芪、生芪（黄芪）的用法中没有能读出的用量（如“3～9克”），剂量无从核对",
                           "重复（提示）：黄芪、生芪（黄芪）是同一味药"}));
    EXPECT_TRUE(findings("黄芪适量").isEmpty());
}

TEST_F(PrescriptionCheck, TheDataIsReadOncePerStateOfTheFile)
{
    const QString path = ds::dataPaths().dataFile;
    const std::shared_ptr<const rx::PadData> first = rx::PadData::of(path);
    EXPECT_EQ(rx::PadData::of(path), first);
    ds::Database db = ds::openDataFile(path);
    db.execute("INSERT INTO 中医药材 (名称, 性味, 用法) VALUES ('仙丹草。', '苦，寒；有毒。', '煎服，3～9克。')");
    db.close();
    const std::shared_ptr<const rx::PadData> changed = rx::PadData::of(path);
    ASSERT_NE(changed, first);
    EXPECT_EQ(shown(changed->check().check({rx::linesFromText("仙丹草12"), false, {}})),
              QStringList({"超量（禁忌）：仙丹草12g，超过用法所载用量3～9克的上限", "毒性（提示）：仙丹草有毒，用法所载用量3～9克"}));
}

TEST_F(PrescriptionCheck, CompletionOffersNamesAliasesAndInitialsExactOnesFirst)
{
    const auto offered = [](const char *typed) {
        QStringList entries; // as the list shows them, and what taking one writes
        for (const rx::CompletionEntry &entry : data->completion().complete(QString::fromUtf8(typed), 5))
            entries.append(entry.text() + "=" + entry.written);
        return entries;
    };
    EXPECT_EQ(offered("半夏"), QStringList({"半夏（有毒）=半夏", "半夏曲=半夏曲", "法半夏=法半夏", "姜半夏=姜半夏", "清半夏=清半夏"}));
    EXPECT_EQ(offered("芍药"), QStringList({"芍药 → 白芍=白芍", "芍药 → 赤芍=赤芍"})); // an alias of two herbs
    EXPECT_EQ(offered("Gc").value(0), "甘草=甘草");
    EXPECT_EQ(offered("yl").value(0), "云苓 → 茯苓=云苓");
    // A name read its own way (重楼 cl) is offered by its everyday reading too, once by each.
    EXPECT_TRUE(offered("zl").contains("重楼（有小毒）=重楼")) << offered("zl").join(' ').toStdString();
    EXPECT_EQ(offered("cl").count("重楼（有小毒）=重楼"), 1) << offered("cl").join(' ').toStdString();
}

TEST(PrescriptionLines, CompoundNamesShareTheirDoseAsAPharmacyDoes)
{
    const std::pair<const char *, const char *> cases[] = {
        {"焦三仙30g", "焦山楂 10 g|焦神曲 10 g|焦麦芽 10 g"},
        {"焦三仙各10g（包煎）", "焦山楂 10 g 包煎|焦神曲 10 g 包煎|焦麦芽 10 g 包煎"},
        {"二冬15 二地、二芍各9克", "天冬 7.5 g|麦冬 7.5 g|生地黄 9 g|熟地黄 9 g|赤芍 9 g|白芍 9 g"},
        {"二丑6g", "二丑 6 g"}, // both seeds are 牵牛子: one line
        {"黑白丑各3g 柴胡12-15g", "黑白丑 6 g|柴胡12-15g"},
    };
    for (const auto &[typed, expected] : cases) {
        QStringList lines;
        for (const rx::RxLine &line : rx::linesFromText(QString::fromUtf8(typed)))
            lines.append(QStringList{line.name, line.dose, line.unit, line.note}.join(' ').trimmed());
        EXPECT_EQ(lines.join('|'), QString::fromUtf8(expected)) << typed;
    }
}

TEST(DoseRange, ReadsTheFormsTheHerbTextsAndClinicsWrite)
{
    const struct {
        const char *usage;
        double high; // 0 for no range
        const char *unit;
    } cases[] = {
        {"煎服，2～10克。", 10, "g"},
        {"3～9g", 9, "g"},
        {"3-9 g", 9, "g"},
        {"３至９克", 9, "g"},
        {"多入丸散服，3～6克；煎汤，10～15克，布包先煎。", 15, "g"},
        {"外用适量，研末油调涂敷患处。内服1.5～3克，炮制后入丸散服。", 3, "g"},
        {"15～21克，不宜入煎剂，一般研粉服，一次5～7克。", 21, "g"},
        {"沸水泡服或煎服，2～3枚。", 3, "枚"},
        {"内服30～50毫升，冲服。", 50, "毫升"},
        {"入丸散服，每次1克。", 1, "g"},
        {"只供外用，适量。", 0, ""},
        {"一般炮制后用。", 0, ""},
    };
    for (const auto &c : cases) {
        const std::optional<rx::DoseRange> range = rx::doseRange(QString::fromUtf8(c.usage));
        EXPECT_EQ(range ? range->high : 0, c.high) << c.usage;
        EXPECT_EQ(range ? range->unit : QString(), QString::fromUtf8(c.unit)) << c.usage;
    }
}

} // namespace
