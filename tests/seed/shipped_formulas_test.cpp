#include "datastore/data_file.h"
#include "formulas/composition.h"
#include "formulas/herb_names.h"
#include "temp_data.h"

#include <QHash>

#include <gtest/gtest.h>

namespace {

// Every formula of the seed by its name without the full stop, read with the tables the program
// carries, over the seed's own herbs.
class ShippedFormulas : public ::testing::Test {
protected:
    static QHash<QString, QStringList> formulas;
    static int rowCount;
    static std::optional<formulas::HerbNames> names;

    static void SetUpTestSuite()
    {
        TempHome home;
        ds::Database db = ds::openDataFile(copySeedTo(home.file("ccyc.mdb")));
        names = formulas::HerbNames::ofDataFile(db);
        for (ds::Dynaset rows = db.openDynaset("SELECT * FROM 中医方剂"); !rows.eof(); rows.moveNext(), ++rowCount) {
            QStringList fields;
            for (int column = 0; column < 8; ++column)
                fields.append(rows.text(column));
            formulas.insert(ds::aliasKey(fields[0]), fields);
        }
    }

    // Whether two written names stand for one herb (芍药 for 白芍, 山萸肉 for 山茱萸).
    static bool sameHerb(const QString &a, const QString &b)
    {
        const formulas::ResolvedName left = names->resolve(a);
        const formulas::ResolvedName right = names->resolve(b);
        if (left.herbs.isEmpty() || right.herbs.isEmpty())
            return a == b;
        return std::any_of(left.herbs.begin(), left.herbs.end(), [&](const QString &herb) { return right.herbs.contains(herb); });
    }
};

QHash<QString, QStringList> ShippedFormulas::formulas;
int ShippedFormulas::rowCount = 0;
std::optional<formulas::HerbNames> ShippedFormulas::names;

TEST_F(ShippedFormulas, EveryIngredientReadsAndResolvesAndNoFormulaRepeats)
{
    EXPECT_GE(rowCount, 320);
    EXPECT_EQ(formulas.size(), rowCount) << "names repeat";
    for (const QStringList &formula : std::as_const(formulas)) {
        const formulas::Composition read = formulas::parseComposition(formula[1]);
        EXPECT_TRUE(read.unread.isEmpty() && !read.ingredients.isEmpty()) << formula[0].toStdString();
        for (const formulas::Ingredient &item : read.ingredients)
            EXPECT_NE(names->resolve(item.name).kind, formulas::NameKind::Unknown) << formula[0].toStdString() << item.name.toStdString();
    }
    for (const char *alias : {"六味丸", "麻杏石甘汤"}) {
        const QStringList named = formulas::shippedFormulaAliases().herbsNamedBy(alias);
        EXPECT_TRUE(named.size() == 1 && formulas.contains(named[0])) << alias;
    }
}

// Formulas beyond doubt, as the textbook writes them with its modern doses, herb by herb; a row
// may also list what the textbook's modern use adds in its 用法 (二陈汤: 生姜7片, 乌梅1个).
TEST_F(ShippedFormulas, ClassicalFormulasHoldTheTextbooksHerbsAndDoses)
{
    const std::pair<const char *, const char *> textbook[] = {
        {"桂枝汤", "桂枝9g、芍药9g、炙甘草6g、生姜9g、大枣3枚"},
        {"麻黄汤", "麻黄9g、桂枝6g、杏仁6g、炙甘草3g"},
        {"小柴胡汤", "柴胡24g、黄芩9g、人参9g、炙甘草9g、半夏9g、生姜9g、大枣4枚"},
        {"四君子汤", "人参9g、白术9g、茯苓9g、炙甘草6g"},
        {"四物汤", "当归9g、川芎6g、白芍9g、熟地黄12g"},
        {"六味地黄丸", "熟地黄24g、山萸肉12g、山药12g、泽泻9g、牡丹皮9g、茯苓9g"},
        {"逍遥散", "柴胡30g、当归30g、白芍30g、白术30g、茯苓30g、炙甘草15g"},
        {"二陈汤", "半夏15g、橘红15g、白茯苓9g、炙甘草4.5g 用法 生姜7片、乌梅1个"},
        {"补中益气汤", "黄芪18g、炙甘草9g、人参6g、当归3g、橘皮6g、升麻6g、柴胡6g、白术9g"},
        {"血府逐瘀汤", "桃仁12g、红花9g、当归9g、生地黄9g、川芎4.5g、赤芍6g、牛膝9g、桔梗4.5g、柴胡3g、枳壳6g、甘草6g"},
    };
    for (const auto &[name, composition] : textbook) {
        SCOPED_TRACE(name);
        const QList<formulas::Ingredient> shipped = formulas::parseComposition(formulas.value(name).value(1)).ingredients;
        const QStringList parts = QString(composition).split(" 用法 ");
        const QList<formulas::Ingredient> expected = formulas::parseComposition(parts[0]).ingredients;
        const QList<formulas::Ingredient> added = formulas::parseComposition(parts.value(1)).ingredients;
        EXPECT_TRUE(shipped.size() == expected.size() || shipped.size() == expected.size() + added.size())
            << formulas.value(name).value(1).toStdString();
        for (const formulas::Ingredient &herb : expected + (shipped.size() > expected.size() ? added : QList<formulas::Ingredient>())) {
            const auto found = std::find_if(shipped.begin(), shipped.end(), [&](const formulas::Ingredient &item) { return sameHerb(item.name, herb.name); });
            ASSERT_NE(found, shipped.end()) << herb.name.toStdString();
            EXPECT_EQ((found->amountText + found->unit).toStdString(), (herb.amountText + herb.unit).toStdString()) << herb.name.toStdString();
        }
    }
}

} // namespace
