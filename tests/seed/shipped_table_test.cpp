#include "datastore/data_file.h"
#include "datastore/herb_aliases.h"
#include "dictionaries/keyword_splitter.h"
#include "herbs/normalize_field_text.h"
#include "prescription/shipped_tables.h"
#include "temp_data.h"

#include <QHash>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <QSet>

#include <algorithm>

namespace {

enum Column { kName, kMeridians, kNature, kEfficacy, kIndications, kUsage, kCautions, kNotes };

// Every herb of the seed by its name without the full stop.
class ShippedTable : public ::testing::Test {
protected:
    static QHash<QString, QStringList> herbs;
    static int rowCount;

    static void SetUpTestSuite()
    {
        TempHome home;
        ds::Database db = ds::openDataFile(copySeedTo(home.file("ccyc.mdb")));
        for (ds::Dynaset rows = db.openDynaset("SELECT * FROM 中医药材"); !rows.eof(); rows.moveNext()) {
            QStringList fields;
            for (int column = 0; column < 8; ++column)
                fields.append(rows.text(column));
            QString name = fields[kName];
            name.chop(1);
            herbs.insert(name, fields);
            ++rowCount;
        }
    }

    // Whether a herb is for outside use only, by its usage or its cautions.
    static bool outsideUseOnly(const QStringList &herb)
    {
        static const QRegularExpression only(QStringLiteral("只供外用|仅供外用|专作外用|只可外用|不可内服|不宜内服|禁内服|不作内服"));
        return (herb[kUsage] + herb[kCautions]).contains(only);
    }

    // The distinct keywords of one column over the whole table, with a herb that has each.
    static QHash<QString, QString> keywordsOf(int column)
    {
        QHash<QString, QString> keywords;
        for (const QStringList &herb : std::as_const(herbs)) {
            for (const QString &keyword : dict::splitKeywords(herb[column]))
                keywords.insert(keyword, herb[kName]);
        }
        return keywords;
    }

    // The names of the shipped herbs, without "。".
    static const QSet<QString> &shippedNames()
    {
        static const QSet<QString> names(herbs.keyBegin(), herbs.keyEnd());
        return names;
    }

    // The herbs a herb's cautions name in "不宜与……同用".
    static QSet<QString> notGivenWith(const QString &herb)
    {
        static const QRegularExpression clause(QStringLiteral("不宜与([^。；，]+)同用"));
        QSet<QString> named;
        for (auto found = clause.globalMatch(herbs.value(herb).value(kCautions)); found.hasNext();) {
            for (const QString &name : found.next().captured(1).split("、"))
                named.insert(name);
        }
        return named;
    }
};

QHash<QString, QStringList> ShippedTable::herbs;
int ShippedTable::rowCount = 0;

TEST_F(ShippedTable, HoldsTheTextbookMateriaMedicaWithUniqueNames)
{
    EXPECT_GE(rowCount, 400);
    EXPECT_EQ(herbs.size(), rowCount) << "names repeat";
    for (const char *name : {"人参", "甘草", "茯苓", "金银花", "黄连", "麻黄", "大黄", "雷公藤", "法半夏", "炙甘草", "竹沥"})
        EXPECT_TRUE(herbs.contains(name)) << name;
}

TEST_F(ShippedTable, EveryTextIsInStoredFormAndKeywordsSplitCleanly)
{
    for (const QStringList &herb : std::as_const(herbs)) {
        SCOPED_TRACE(herb[kName].toStdString());
        for (int column = kName; column <= kNotes; ++column)
            EXPECT_EQ(herbs::NormalizeFieldText(herb[column]), herb[column]) << column;
        for (int column = kMeridians; column <= kUsage; ++column)
            EXPECT_NE(herb[column], " ") << column;
        EXPECT_TRUE(herb[kMeridians].startsWith("归") && herb[kMeridians].endsWith("经。")) << herb[kMeridians].toStdString();
        for (int column : {kEfficacy, kIndications}) {
            const QStringList keywords = dict::splitKeywords(herb[column]);
            EXPECT_FALSE(keywords.isEmpty()) << column;
            for (const QString &keyword : keywords) {
                EXPECT_FALSE(keyword.startsWith("用于")) << keyword.toStdString();
                EXPECT_LE(keyword.size(), 6) << "a sentence, not a keyword: " << keyword.toStdString();
            }
        }
        EXPECT_FALSE(herb[kIndications].contains("治")) << "治 splits an indication keyword";
    }
}

// Both herbs of every pair of the shipped incompatibility table name each other by their exact
// names in a "不宜与……同用" of their cautions: 半夏 written within 法半夏 does not count.
TEST_F(ShippedTable, IncompatiblePairsAreNamedOnBothSides)
{
    const rx::PrescriptionTables tables = rx::readShippedTables(&shippedNames());
    QSet<QString> pairs;
    for (const rx::IncompatiblePair &pair : tables.incompatibilities.pairs) {
        for (const QString &one : pair.first) {
            for (const QString &other : pair.second) {
                EXPECT_TRUE(notGivenWith(one).contains(other)) << one.toStdString() << " lacks " << other.toStdString();
                EXPECT_TRUE(notGivenWith(other).contains(one)) << other.toStdString() << " lacks " << one.toStdString();
                pairs << one + "×" + other << other + "×" + one;
            }
        }
    }
    for (const char *pair : {"炙甘草×海藻", "红大戟×甘草", "赤芍×藜芦", "党参×藜芦", "天花粉×川乌", "附子×法半夏",
                             "制草乌×白及", "巴豆霜×牵牛子", "人参×五灵脂", "玄明粉×三棱", "硫黄×芒硝", "肉桂×赤石脂",
                             "丁香×郁金"})
        EXPECT_TRUE(pairs.contains(pair)) << pair;
}

// Every herb of the pregnancy list says so in its cautions at its level (禁用, 禁服, 忌用 or 忌服 for
// 禁用), and every caution that names pregnancy has its herb on the list, which the check reads.
TEST_F(ShippedTable, PregnancyListAndCautionsAgree)
{
    QHash<QString, rx::PregnancyLevel> listed;
    for (const rx::PregnancyEntry &entry : rx::readShippedTables(&shippedNames()).pregnancy)
        listed.insert(entry.herb, entry.level);
    static const QRegularExpression clauses(QStringLiteral("[。；，]"));
    for (auto herb = herbs.cbegin(); herb != herbs.cend(); ++herb) {
        const QStringList parts = herb.value()[kCautions].split(clauses);
        const auto clause =
            std::find_if(parts.begin(), parts.end(), [](const QString &part) { return part.contains("孕妇"); });
        SCOPED_TRACE(herb.value()[kCautions].toStdString());
        ASSERT_EQ(clause != parts.end(), listed.contains(herb.key())) << herb.key().toStdString();
        if (clause == parts.end())
            continue;
        const bool forbids = clause->contains("禁") || clause->contains("忌");
        EXPECT_EQ(forbids, listed[herb.key()] == rx::PregnancyLevel::Forbidden) << herb.key().toStdString();
        EXPECT_TRUE(forbids || clause->contains("慎")) << herb.key().toStdString();
    }
    EXPECT_EQ(listed.value("麝香"), rx::PregnancyLevel::Forbidden);
    for (const char *caution : {"桃仁", "干姜", "翻白草", "附子"})
        EXPECT_EQ(listed.value(caution), rx::PregnancyLevel::Caution) << caution;
}

// A compound name's herbs are written as the herb or one of its aliases, and a compound name that
// is an alias too names only the compound's herbs (二丑 is 牵牛子 either way).
TEST_F(ShippedTable, CompoundNamesWriteTheirOwnHerbs)
{
    const ds::AliasTable &aliases = ds::shippedAliases();
    QHash<QString, QStringList> writtenOf;
    for (const rx::CompoundName &compound : rx::readShippedTables(&shippedNames()).compounds) {
        QStringList herbs;
        QStringList written;
        for (const rx::CompoundPart &part : compound.parts) {
            EXPECT_TRUE(part.written == part.herb || aliases.herbsNamedBy(part.written) == QStringList{part.herb})
                << part.written.toStdString();
            herbs << part.herb;
            written << part.written;
        }
        for (const QString &name : compound.names) {
            for (const QString &herb : aliases.herbsNamedBy(name))
                EXPECT_TRUE(herbs.contains(herb)) << name.toStdString() << " is an alias of " << herb.toStdString();
            writtenOf.insert(name, written);
        }
    }
    EXPECT_EQ(writtenOf.value("焦三仙"), QStringList({"焦山楂", "焦神曲", "焦麦芽"}));
    EXPECT_EQ(writtenOf.value("二丑"), QStringList({"黑丑", "白丑"}));
}

// The usual daily dose of a toxic herb, and the most any of its doses may say.
TEST_F(ShippedTable, ToxicHerbsCarryADoseWithinTheTextbookLimit)
{
    const std::pair<const char *, double> limits[] = {
        {"附子", 15},    {"川乌", 3},      {"草乌", 3},     {"细辛", 3},   {"马钱子", 0.6}, {"朱砂", 0.5},
        {"雄黄", 0.1},   {"斑蝥", 0.06},   {"蟾酥", 0.03},  {"巴豆", 0.3}, {"甘遂", 1.5},   {"京大戟", 3},
        {"芫花", 3},     {"商陆", 9},      {"牵牛子", 6},   {"半夏", 9},   {"天南星", 9},
        {"雷公藤", 3},   {"制川乌", 3},    {"制草乌", 3},   {"巴豆霜", 0.3}, {"制天南星", 9}, {"法半夏", 9},
        {"姜半夏", 9},   {"清半夏", 9},    {"阿魏", 1.5},
    };
    static const QRegularExpression dose(QStringLiteral("(\\d+(?:\\.\\d+)?)(?:～(\\d+(?:\\.\\d+)?))?(?:克|g)"));
    for (const auto &[name, limit] : limits) {
        if (!herbs.contains(name))
            continue;
        const QString usage = herbs[name][kUsage];
        SCOPED_TRACE(usage.toStdString());
        bool hasDose = false;
        for (auto found = dose.globalMatch(usage); found.hasNext();) {
            const QRegularExpressionMatch match = found.next();
            hasDose = true;
            const double most = (match.hasCaptured(2) ? match.captured(2) : match.captured(1)).toDouble();
            EXPECT_LE(most, limit) << name;
        }
        EXPECT_TRUE(hasDose || outsideUseOnly(herbs[name])) << name << " has no dose";
    }
}

// A dose is given in 克; a liquid in 毫升 and 胖大海 by the piece, and no other herb in those
// units, so that a slip of the unit cannot multiply a dose. Outside-only herbs need no dose.
TEST_F(ShippedTable, EveryDoseIsInTheUnitOfItsHerb)
{
    const QHash<QString, QString> otherUnit{{"竹沥", "毫升"}, {"胖大海", "枚"}};
    static const QRegularExpression amount(QStringLiteral("\\d+(?:\\.\\d+)?(?:～\\d+(?:\\.\\d+)?)?(克|毫升|枚)"));
    for (auto herb = herbs.cbegin(); herb != herbs.cend(); ++herb) {
        QSet<QString> units;
        for (auto found = amount.globalMatch(herb.value()[kUsage]); found.hasNext();)
            units.insert(found.next().captured(1));
        const QString unit = otherUnit.value(herb.key(), QStringLiteral("克"));
        EXPECT_TRUE(units == QSet<QString>{unit} || (units.isEmpty() && outsideUseOnly(herb.value())))
            << herb.key().toStdString() << ": " << herb.value()[kUsage].toStdString();
    }
    EXPECT_TRUE(herbs.contains("竹沥"));
}

// A toxic herb warns about pregnancy, unless the textbook itself names no such caution for it.
TEST_F(ShippedTable, ToxicHerbsNamePregnancyInTheirCautions)
{
    const QStringList textbookNamesNoPregnancy{"苍耳子", "山豆根", "蕲蛇", "金钱白花蛇", "香加皮",
                                               "黄药子", "白果",   "仙茅", "胆矾",       "土荆皮"};
    int toxic = 0;
    for (auto herb = herbs.cbegin(); herb != herbs.cend(); ++herb) {
        const QString &nature = herb.value()[kNature];
        if (!nature.contains("有毒") && !nature.contains("有大毒"))
            continue;
        ++toxic;
        const bool names = herb.value()[kCautions].contains("孕妇");
        if (textbookNamesNoPregnancy.contains(herb.key()))
            EXPECT_FALSE(names) << herb.key().toStdString() << " names 孕妇 now: take it off the list";
        else
            EXPECT_TRUE(names) << herb.key().toStdString() << " is toxic and does not name 孕妇";
    }
    EXPECT_GE(toxic, 50);
    for (const QString &name : textbookNamesNoPregnancy)
        EXPECT_TRUE(herbs.value(name).value(kNature).contains("有毒")) << name.toStdString();
}

// One wording for one idea in the pick-lists: no keyword uses a spelling that has a preferred
// twin, no indication is another one with its halves swapped, and no indication is a bare part
// of the body left over from splitting one phrase by "、".
TEST_F(ShippedTable, KeywordsUseOneWordingForOneIdea)
{
    const std::pair<const char *, const char *> variants[] = {
        {"臌胀", "鼓胀"},       {"闭经", "经闭"},         {"风湿痹病", "风湿痹痛"}, {"跌扑", "跌打"},
        {"产后瘀滞", "产后瘀阻"}, {"产后瘀血", "产后瘀阻"}, {"产后瘀痛", "产后瘀阻"}, {"产后瘀阻腹痛", "产后瘀阻"},
        {"痨嗽", "劳嗽"},       {"咳血", "咯血"},         {"寒疝作痛", "寒疝腹痛"}, {"热结便闭", "热结便秘"},
        {"齿龈肿痛", "牙龈肿痛"}, {"眼生翳膜", "目生翳膜"}, {"胃痛泛酸", "胃痛吞酸"}, {"烧烫伤", "水火烫伤"},
        {"心烦不眠", "心烦失眠"}, {"心烦不寐", "心烦失眠"}, {"乳汁不下", "乳汁不通"}, {"血瘀经闭", "瘀血经闭"},
        {"脚气水肿", "脚气浮肿"}, {"小便浑浊", "小便白浊"}, {"心神不安", "心神不宁"},
    };
    for (int column : {kEfficacy, kIndications}) {
        const QHash<QString, QString> keywords = keywordsOf(column);
        for (auto k = keywords.cbegin(); k != keywords.cend(); ++k) {
            for (const auto &[variant, preferred] : variants) {
                EXPECT_FALSE(k.key().contains(QString::fromUtf8(variant)))
                    << k.value().toStdString() << " " << k.key().toStdString() << ": write " << preferred;
            }
        }
    }
    const QHash<QString, QString> indications = keywordsOf(kIndications);
    for (auto k = indications.cbegin(); k != indications.cend(); ++k) {
        const QString swapped = k.key().mid(2) + k.key().left(2);
        EXPECT_FALSE(k.key().size() == 4 && swapped != k.key() && indications.contains(swapped))
            << k.value().toStdString() << " " << k.key().toStdString() << " and "
            << indications.value(swapped).toStdString() << " " << swapped.toStdString();
    }
    for (const char *part : {"胸胁", "脘腹", "肩臂", "腰膝", "胸腹", "心腹", "少腹", "四肢", "关节", "筋骨"})
        EXPECT_FALSE(indications.contains(part)) << indications.value(part).toStdString() << ": " << part << " alone";
}

} // namespace
