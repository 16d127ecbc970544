// The formula search on a copy of the seed: what each condition finds, alone and together, and
// the kept index following every change of the data file.
#include "datastore/data_file.h"
#include "formulas/formula_search.h"
#include "formulas/formula_table.h"
#include "formulas/herb_names.h"
#include "qstring_printer.h"
#include "temp_data.h"

#include <gtest/gtest.h>

using formulas::FormulaConditions;

namespace {

class FormulaSearch : public ::testing::Test {
protected:
    QStringList found(const FormulaConditions &asked, QStringList *unknown = nullptr) const
    {
        ds::Database db = ds::openDataFile(dataFile);
        const formulas::FormulaFound result = formulas::findFormulas(db, asked);
        if (unknown)
            *unknown = result.unknownHerbs;
        QStringList names;
        for (const formulas::FormulaRow &row : result.rows)
            names.append(ds::aliasKey(row.name));
        return names;
    }
    int holding(const QString &herb) const
    {
        ds::Database db = ds::openDataFile(dataFile);
        return formulas::formulasHolding(db, herb);
    }

    TempHome home;
    QString dataFile = home.installSeed();
};

} // namespace

TEST_F(FormulaSearch, EachConditionFindsWhatItSaysAndTheyCombine)
{
    const struct {
        const char *what;
        FormulaConditions asked;
        QStringList among;
        QStringList never;
    } cases[] = {
        {"initials", {"xch"}, {"小柴胡汤"}, {"大柴胡汤"}},
        {"initials by the everyday reading too", {"zsw"}, {"枳术丸"}, {"小柴胡汤"}},
        {"a part of the name", {"柴胡 "}, {"小柴胡汤", "大柴胡汤", "柴胡疏肝散"}, {"逍遥散"}},
        {"a short name", {"六味丸"}, {"六味地黄丸"}, {"小柴胡汤"}},
        {"every herb must be held", {{}, "柴胡、黄芩"}, {"小柴胡汤", "大柴胡汤"}, {"逍遥散"}},
        {"a herb finds its processed forms", {{}, "半夏"}, {"小柴胡汤", "定喘汤", "柴胡枳桔汤"}, {"逍遥散"}},
        {"甘草 finds 炙甘草", {{}, "甘草"}, {"小柴胡汤", "定喘汤"}, {"六味地黄丸"}},
        {"a form finds no other form", {{}, "法半夏"}, {"定喘汤"}, {"小柴胡汤", "柴胡枳桔汤"}},
        {"an alias finds its herb", {{}, "杭芍"}, {"逍遥散"}, {"小柴胡汤"}},
        {"附子 is not 白附子", {{}, "附子"}, {"四逆汤"}, {"牵正散", "玉真散"}},
        {"白附子 is not 附子", {{}, "白附子"}, {"牵正散"}, {"四逆汤"}},
        {"a word of 功用 or of 主治", {{}, {}, "少阳"}, {"小柴胡汤", "蒿芩清胆汤"}, {"逍遥散"}},
        {"all together", {"汤", "柴胡", "少阳", "和解剂"}, {"小柴胡汤"}, {"逍遥散", "柴胡疏肝散", "定喘汤"}},
    };
    for (const auto &c : cases) {
        const QStringList names = found(c.asked);
        for (const QString &name : c.among)
            EXPECT_TRUE(names.contains(name)) << c.what << ": " << name.toStdString();
        for (const QString &name : c.never)
            EXPECT_FALSE(names.contains(name)) << c.what << ": " << name.toStdString();
    }
    // A herb no table knows finds nothing and is named; typed text never reaches the SQL.
    QStringList unknown;
    EXPECT_TRUE(found({{}, "柴胡 仙丹草"}, &unknown).isEmpty());
    EXPECT_EQ(unknown, QStringList{"仙丹草"});
    EXPECT_TRUE(found({"'", "'", "'); DELETE FROM 中医方剂; --", "'"}).isEmpty());
    // No condition: every formula.
    EXPECT_EQ(found({}).size(), ds::openDataFile(dataFile).openDynaset("SELECT count(*) FROM 中医方剂").field(0).toInt());
}

TEST_F(FormulaSearch, TheKeptIndexFollowsEveryChangeOfTheFile)
{
    const int poria = holding("茯苓。");
    ASSERT_GT(poria, 0);
    {
        ds::Database db = ds::openDataFile(dataFile);
        formulas::addFormula(db, {"健脾方", "云苓15g、法夏9g", "健脾", "脾虚", "水煎服", "本院", {}, {}},
                             formulas::HerbNames::ofDataFile(db));
    }
    EXPECT_EQ(holding("茯苓"), poria + 1) << "云苓 is 茯苓";
    EXPECT_TRUE(found({{}, "茯苓 半夏"}).contains("健脾方"));
    EXPECT_EQ(found({{}, {}, {}, formulas::kClinicChapter}), QStringList{"健脾方"});
    {
        ds::Database db = ds::openDataFile(dataFile);
        formulas::changeFormula(db, "健脾方", {"健脾方", "党参15g", "健脾", "脾虚", "水煎服", "本院", {}, {}},
                                formulas::HerbNames::ofDataFile(db));
    }
    EXPECT_EQ(holding("茯苓"), poria);
    EXPECT_EQ(found({{}, "党参"}), QStringList{"健脾方"});
    ds::openDataFile(dataFile).execute("DELETE FROM 中医方剂 WHERE 方剂名称 = '健脾方。'");
    EXPECT_TRUE(found({"健脾方"}).isEmpty());
}
