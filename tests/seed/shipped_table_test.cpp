#include "datastore/data_file.h"
#include "dictionaries/keyword_splitter.h"
#include "herbs/normalize_field_text.h"
#include "temp_data.h"

#include <QHash>
#include <QRegularExpression>

#include <gtest/gtest.h>

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

    // Whether the cautions of one herb name another by any of its names.
    static bool names(const QString &herb, const QStringList &otherNames)
    {
        const QString cautions = herbs.value(herb).value(kCautions);
        return std::any_of(otherNames.begin(), otherNames.end(), [&](const QString &n) { return cautions.contains(n); });
    }
};

QHash<QString, QStringList> ShippedTable::herbs;
int ShippedTable::rowCount = 0;

TEST_F(ShippedTable, HoldsTheTextbookMateriaMedicaWithUniqueNames)
{
    EXPECT_GE(rowCount, 400);
    EXPECT_EQ(herbs.size(), rowCount) << "names repeat";
    for (const char *name : {"人参", "甘草", "茯苓", "金银花", "黄连", "麻黄", "大黄"})
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
                EXPECT_LE(keyword.size(), 12) << "a sentence, not a keyword: " << keyword.toStdString();
            }
        }
        EXPECT_FALSE(herb[kIndications].contains("治")) << "治 splits an indication keyword";
    }
}

// Pairs that must not be given together, named in the cautions of both herbs. A side lists its
// herbs and the names by which the other side may name them. A herb of the 十八反 names its
// partner even when the partner is not in the table; a 十九畏 pair is checked where both are.
struct Incompatible {
    QStringList herbs;
    QStringList alsoNamed;
    QStringList others;
    QStringList othersAlsoNamed;
    bool evenWithoutPartner = false;
};

TEST_F(ShippedTable, IncompatiblePairsAreNamedOnBothSides)
{
    const Incompatible pairs[] = {
        // 十八反
        {{"甘草"}, {}, {"甘遂", "京大戟", "海藻", "芫花"}, {}, true},
        {{"川乌", "草乌", "附子"}, {"乌头"}, {"半夏", "瓜蒌", "川贝母", "浙贝母", "白蔹", "白及"}, {"贝母"}, true},
        {{"藜芦"}, {}, {"人参", "北沙参", "南沙参", "丹参", "玄参", "苦参", "细辛", "白芍", "赤芍"}, {"沙参", "芍药"}, true},
        // 十九畏
        {{"硫黄"}, {}, {"芒硝"}, {"朴硝"}},
        {{"水银"}, {}, {"砒石"}, {"砒霜"}},
        {{"狼毒"}, {}, {"密陀僧"}, {}},
        {{"巴豆"}, {"巴豆霜"}, {"牵牛子"}, {}},
        {{"丁香"}, {}, {"郁金"}, {}},
        {{"芒硝"}, {"牙硝"}, {"三棱"}, {}},
        {{"肉桂"}, {"官桂"}, {"赤石脂"}, {}},
        {{"人参"}, {}, {"五灵脂"}, {}},
    };
    for (const Incompatible &pair : pairs) {
        for (const QString &one : pair.herbs) {
            for (const QString &other : pair.others) {
                const bool both = herbs.contains(one) && herbs.contains(other);
                if (herbs.contains(one) && (both || pair.evenWithoutPartner)) {
                    EXPECT_TRUE(names(one, QStringList{other} + pair.othersAlsoNamed))
                        << one.toStdString() << " does not name " << other.toStdString();
                }
                if (herbs.contains(other) && (both || pair.evenWithoutPartner)) {
                    EXPECT_TRUE(names(other, QStringList{one} + pair.alsoNamed))
                        << other.toStdString() << " does not name " << one.toStdString();
                }
            }
        }
    }
}

// The usual daily dose of a toxic herb, and the most any of its doses may say.
TEST_F(ShippedTable, ToxicHerbsCarryADoseWithinTheTextbookLimit)
{
    const std::pair<const char *, double> limits[] = {
        {"附子", 15},    {"川乌", 3},      {"草乌", 3},     {"细辛", 3},   {"马钱子", 0.6}, {"朱砂", 0.5},
        {"雄黄", 0.1},   {"斑蝥", 0.06},   {"蟾酥", 0.03},  {"巴豆", 0.3}, {"甘遂", 1.5},   {"京大戟", 3},
        {"芫花", 3},     {"商陆", 9},      {"牵牛子", 6},   {"半夏", 9},   {"天南星", 9},
    };
    static const QRegularExpression dose(QStringLiteral("(\\d+(?:\\.\\d+)?)(?:～(\\d+(?:\\.\\d+)?))?(?:克|g)"));
    static const QRegularExpression outsideOnly(QStringLiteral("外用.*(不可内服|不宜内服|禁内服|只供外用|仅供外用)|"
                                                               "(不可内服|不宜内服|禁内服|只供外用|仅供外用)"));
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
        EXPECT_TRUE(hasDose || usage.contains(outsideOnly)) << name << " has no dose";
    }
}

} // namespace
