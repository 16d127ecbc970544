#include "datastore/data_file.h"
#include "datastore/errors.h"
#include "formulas/formula_table.h"
#include "formulas/herb_names.h"
#include "temp_data.h"

#include <gtest/gtest.h>

using formulas::FormulaRecord;

namespace {

FormulaRecord clinicFormula(const QString &name, const QString &composition)
{
    return {name, composition, QStringLiteral("健脾"), QStringLiteral("脾虚"), QStringLiteral("水煎服"), QStringLiteral("本院"),
            QString(), QString()};
}

} // namespace

TEST(FormulaTable, ClinicFormulasKeepTheNamesWrittenAndRefuseWhatNoTableKnows)
{
    TempHome home;
    ds::Database db = ds::openDataFile(home.installSeed());
    const formulas::HerbNames names = formulas::HerbNames::ofDataFile(db);

    ASSERT_EQ(formulas::addFormula(db, clinicFormula(" 健脾方 ", "云苓15 白术 10g\n炙甘草6g（后下）"), names),
              formulas::FormulaSave::Added);
    const FormulaRecord stored = *formulas::findFormula(db, "健脾方");
    EXPECT_EQ(stored[formulas::kFormulaName], "健脾方。");
    EXPECT_EQ(stored[formulas::kComposition], "云苓15g、白术10g、炙甘草6g（后下）。") << "云苓 stays as written";
    EXPECT_EQ(formulas::chapterOf(stored[formulas::kChapter]), formulas::kClinicChapter);
    EXPECT_EQ(formulas::addFormula(db, clinicFormula("健脾方。", "人参9g"), names), formulas::FormulaSave::AlreadyStored);

    // Refusals write nothing and name what is wrong.
    for (const auto &[composition, says] : std::initializer_list<std::pair<const char *, const char *>>{
             {"云苓15g、仙丹草9g、黄芪12g", "仙丹草"}, {"柴胡12-15g、黄芩9g", "柴胡12-15g"}, {"  ", "空的"}}) {
        try {
            formulas::addFormula(db, clinicFormula("新方", composition), names);
            ADD_FAILURE() << composition;
        } catch (const ds::RunError &error) {
            EXPECT_EQ(error.number(), int(ds::ErrorCode::ValidationRuleViolated));
            EXPECT_TRUE(error.description().contains(QString::fromUtf8(says))) << error.description().toStdString();
        }
        EXPECT_FALSE(formulas::findFormula(db, "新方"));
    }

    // A shipped formula can be changed and renamed, but not onto another formula's name.
    FormulaRecord changed = *formulas::findFormula(db, "桂枝汤");
    changed[formulas::kNotes] = QStringLiteral("本院常用");
    EXPECT_THROW(formulas::changeFormula(db, "桂枝汤。", [&] { auto c = changed; c[0] = "麻黄汤"; return c; }(), names),
                 ds::RunError);
    changed[formulas::kFormulaName] = QStringLiteral("桂枝汤加味");
    ASSERT_TRUE(formulas::changeFormula(db, "桂枝汤。", changed, names));
    EXPECT_FALSE(formulas::findFormula(db, "桂枝汤"));
    EXPECT_EQ((*formulas::findFormula(db, "桂枝汤加味"))[formulas::kNotes], "本院常用。");
    EXPECT_EQ(formulas::chapterOf((*formulas::findFormula(db, "桂枝汤加味"))[formulas::kChapter]), "解表剂");

    EXPECT_TRUE(formulas::deleteFormula(db, "健脾方"));
    EXPECT_FALSE(formulas::deleteFormula(db, "健脾方"));
}
