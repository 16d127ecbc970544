// Import from another data file: merged by name in stored form, all rows or none, the source
// untouched; and the words for a chosen file that cannot serve.
#include "formulas/formula_table.h"
#include "herbs/herb_lookup.h"
#include "maintenance/backup_copy.h"
#include "maintenance/backup_files.h"
#include "maintenance/data_file_check.h"
#include "maintenance/import_records.h"
#include "maintenance_fixture.h"

namespace {

using Row = QVariantList;
using maint::ImportKind;
using maint::MergeChoice;

class ImportRecords : public ::testing::Test {
protected:
    QString makeSource(const QList<QVariantList> &herbs, const QList<QVariantList> &prescriptions = {},
                       const QString &herbColumns = kFamilyHerbColumns)
    {
        return makeFamilySource(home.file(QStringLiteral("源%1.mdb").arg(++sources)), herbs, prescriptions, herbColumns);
    }
    static Row herb(const QString &name, const QVariant &meridian = "肝经")
    {
        return {name, meridian, "甘，平", "补气", "气虚", "煎服", "无", "常用"};
    }
    // A backup made on another install: the seed with two herbs of its own (one typed without
    // the stored form), a changed 甘草, and 人参 written without its final stops.
    QString otherInstall()
    {
        const QString path = copySeedTo(home.file("另一家.mdb"));
        ds::Database db = ds::openDataFile(path);
        db.execute("UPDATE 中医药材 SET 心得 = '另一家的心得。' WHERE 名称 = '甘草。'");
        db.execute("UPDATE 中医药材 SET 名称 = '人参', 归经 = substr(归经, 1, length(归经) - 1) WHERE 名称 = '人参。'");
        db.execute("INSERT INTO 中医药材 VALUES ('源草甲', '归肝经', 'gan,ping', '补气', '气虚', '煎服', '', '常用')");
        db.execute("INSERT INTO 中医药材 VALUES ('源草乙。', '归肺经。', '辛，温。', '解表。', '风寒。', '煎服。', ' ', ' ')");
        return path;
    }
    QList<QStringList> rows(const QString &sql) const
    {
        ds::Database db = ds::openDataFile(dataFile);
        ds::Dynaset result = db.openDynaset(sql);
        QList<QStringList> all;
        for (result.moveFirst(); !result.eof(); result.moveNext()) {
            QStringList row;
            for (int i = 0; i < result.fieldCount(); ++i)
                row.append(result.text(i));
            all.append(row);
        }
        return all;
    }
    QString notesOfLicorice() const { return rows("SELECT 心得 FROM 中医药材 WHERE 名称 = '甘草。'").value(0).value(0); }

    TempHome home;
    QString dataFile = home.installSeed();
    int sources = 0;
};

TEST_F(ImportRecords, SortsTheSourceByNameInStoredFormAndWritesNothingWhilePlanning)
{
    const QString source = otherInstall();
    const int seedHerbs = int(herbNames(dataFile).size());
    const QByteArray sourceBefore = readBytes(source);
    const QByteArray dataBefore = readBytes(dataFile);

    const maint::MergePlan plan = maint::planImport(dataFile, source, ImportKind::Herbs);
    EXPECT_EQ(plan.sourceRows, seedHerbs + 2);
    const QList<QStringList> fresh{{"源草甲。", "归肝经。", "gan，ping。", "补气。", "气虚。", "煎服。", " ", "常用。"},
                                   {"源草乙。", "归肺经。", "辛，温。", "解表。", "风寒。", "煎服。", " ", " "}};
    EXPECT_EQ(plan.fresh, fresh);
    EXPECT_EQ(plan.identical, seedHerbs - 1); // 人参 among them
    ASSERT_EQ(plan.different.size(), 1);
    EXPECT_EQ(plan.different[0].theirs[0], "甘草。");
    EXPECT_EQ(plan.different[0].fields, QList<int>{7});
    EXPECT_EQ(plan.different[0].ours[7], notesOfLicorice());
    EXPECT_EQ(plan.different[0].theirs[7], "另一家的心得。");

    // Cancelling after the plan leaves both files as they were, byte for byte.
    EXPECT_EQ(readBytes(source), sourceBefore);
    EXPECT_EQ(readBytes(dataFile), dataBefore);
    EXPECT_EQ(QDir(home.path()).entryList({"*journal*"}, QDir::Files), QStringList());
}

TEST_F(ImportRecords, EachChoiceWritesInOneGoAndASecondImportBringsNothingNew)
{
    const QString source = otherInstall();
    const QString ours = notesOfLicorice();
    const struct {
        MergeChoice choice;
        QString licorice;
        QString message;
        int differentAfter;
    } cases[] = {
        {MergeChoice::KeepOurs, ours, "同名的保留本机内容。", 1},
        {MergeChoice::TakeTheirs, "另一家的心得。", "同名的已改用导入内容。", 0},
    };
    for (const auto &c : cases) {
        home.installSeed();
        const int seedHerbs = int(herbNames(dataFile).size());
        const maint::MergePlan plan = maint::planImport(dataFile, source, ImportKind::Herbs);
        const QString kept = maint::applyImport(dataFile, ImportKind::Herbs, plan, c.choice);
        EXPECT_EQ(kept.isEmpty(), c.choice == MergeChoice::KeepOurs); // a copy only before ours are replaced
        EXPECT_TRUE(maint::importMessage(ImportKind::Herbs, plan, c.choice, kept)
                        .startsWith(QStringLiteral("已经导入 2 条新药材，%1 条相同的已跳过，1 条").arg(seedHerbs - 1) + c.message));
        EXPECT_EQ(notesOfLicorice(), c.licorice);
        EXPECT_EQ(herbNames(dataFile).size(), seedHerbs + 2);
        // Found as a typed herb is: by its name and by its pinyin initials.
        ds::Database db = ds::openDataFile(dataFile);
        for (const QString name : {"源草甲", "ycj"})
            EXPECT_TRUE(herbs::runConditionSearch(db, {name}).contains("源草甲。")) << name.toStdString();
        db.close();

        const maint::MergePlan again = maint::planImport(dataFile, source, ImportKind::Herbs);
        EXPECT_TRUE(again.fresh.isEmpty());
        EXPECT_EQ(again.different.size(), c.differentAfter);
        EXPECT_EQ(again.identical, seedHerbs + 2 - c.differentAfter);
    }
}

TEST_F(ImportRecords, OnlyTheTickedTextsReplaceOursAfterTheDataIsKept)
{
    Row licorice = herb("甘草");
    licorice[7] = "另一家的心得";
    const maint::MergePlan plan = maint::planImport(dataFile, makeSource({licorice, herb("人参")}), ImportKind::Herbs);
    ASSERT_EQ(plan.different.size(), 2);
    ASSERT_TRUE(plan.different[0].fields.contains(1));
    const QByteArray before = readBytes(dataFile);
    const maint::TakenTexts taken{{7}, {}};
    const QString kept = maint::applyImport(dataFile, ImportKind::Herbs, plan, taken);
    EXPECT_EQ(readBytes(kept), before);
    QStringList expected = plan.different[0].ours;
    expected[7] = "另一家的心得。";
    EXPECT_EQ(rows("SELECT * FROM 中医药材 WHERE 名称 = '甘草。'").value(0), expected);
    EXPECT_EQ(rows("SELECT * FROM 中医药材 WHERE 名称 = '人参。'").value(0), plan.different[1].ours);
    EXPECT_TRUE(maint::importMessage(ImportKind::Herbs, plan, taken, kept).contains("2 条同名的中 1 条采用了勾选的导入内容，1 条保留本机内容"));

    // Those copies are pruned as the restore's: the newest three of a day stay.
    for (int minute = 1; minute <= 4; ++minute)
        maint::keepBeforeImport(dataFile, QDateTime::currentDateTime().addSecs(60 * minute));
    EXPECT_EQ(maint::keptFiles(dataFile, maint::KeptKind::BeforeImport).size(), 3);
}

TEST_F(ImportRecords, ASourceThatCannotBeReadWholeStopsBeforeAnyWriteAndSaysWhy)
{
    const struct {
        const char *what;
        QList<Row> herbs;
        QString columns;
        ds::ErrorCode code;
        QString says;
    } cases[] = {
        {"a Null value", {herb("源草甲"), herb("源草乙"), herb("源草丙", QVariant())}, {}, ds::ErrorCode::InvalidUseOfNull,
         "源文件第 3 行（“源草丙”）的“归经”是空值，不能导入"},
        {"a Null name", {herb("源草甲"), {QVariant(), "肝经", "甘", "补气", "气虚", "煎服", "无", "常用"}}, {}, ds::ErrorCode::InvalidUseOfNull, "源文件第 2 行的“名称”是空值"},
        {"a blank name", {herb("源草甲"), herb(" 。")}, {}, ds::ErrorCode::RequiredValueMissing, "源文件第 2 行的“名称”是空的"},
        {"missing columns", {{"源草甲", "肝经", "补气"}}, "ycmc,ycgj,ycgy", ds::ErrorCode::ObjectNotFound,
         "源文件的表“zyyc”中没有“性味”（ycxw）、“主治”（yczz）、“用法”（ycyf）、“宜忌”（ycyj）、“心得”（ycxd）这几列"},
        {"a name twice with other texts", {herb("源草甲"), herb("源草乙"), herb("源草甲。", "肺经")}, {},
         ds::ErrorCode::DuplicateName, "源文件第 3 行（“源草甲。”）和第 1 行同名而内容不同"},
    };
    const QByteArray before = readBytes(dataFile);
    for (const auto &c : cases) {
        const QString source = c.columns.isEmpty() ? makeSource(c.herbs) : makeSource(c.herbs, {}, c.columns);
        try {
            maint::importRecords(dataFile, source, ImportKind::Herbs);
            ADD_FAILURE() << c.what << " was imported";
        } catch (const ds::RunError &error) {
            EXPECT_EQ(error.number(), int(c.code)) << c.what;
            EXPECT_TRUE(error.description().contains(c.says)) << c.what << ": " << error.description().toStdString();
            EXPECT_FALSE(error.description().contains("no such")) << c.what;
        }
        EXPECT_EQ(readBytes(dataFile), before) << c.what;
    }
    // The same name again with the same texts is no contradiction.
    EXPECT_EQ(maint::importRecords(dataFile, makeSource({herb("源草甲"), herb("源草甲。")}), ImportKind::Herbs), 1);
}

TEST_F(ImportRecords, PrescriptionsMergeByTheirNameAndGetASpaceAsTheSeventhText)
{
    ds::openDataFile(dataFile).execute("DELETE FROM 中医方剂");
    ds::openDataFile(dataFile).execute(
        "INSERT INTO 中医方剂 VALUES ('四君子汤。', '人参。', '益气。', '气虚。', '水煎。', '局方。', ' ', '心得。'),"
        " ('麻黄汤。', '麻黄。', '发汗。', '风寒。', '水煎。', '伤寒论。', ' ', ' ')");
    const QString source = makeSource({}, {{"四君子汤", "人参", "益气", "气虚", "水煎", "局方", "心得"},
                                          {"麻黄汤", "麻黄、桂枝", "发汗", "风寒", "水煎", "伤寒论", " "},
                                          {"桂枝汤", "桂枝", "解肌", "风寒", "水煎", "伤寒论", "常用"}});
    const maint::MergePlan plan = maint::planImport(dataFile, source, ImportKind::Prescriptions);
    ASSERT_EQ(plan.different.size(), 1);
    EXPECT_EQ(plan.different[0].fields, QList<int>{1});
    maint::applyImport(dataFile, ImportKind::Prescriptions, plan, MergeChoice::TakeTheirs);
    EXPECT_EQ(maint::importMessage(ImportKind::Prescriptions, plan, MergeChoice::TakeTheirs),
              "已经导入 1 条新方剂，1 条相同的已跳过，1 条同名的已改用导入内容。");
    const QList<QStringList> stored{{"四君子汤。", "人参。", "益气。", "气虚。", "水煎。", "局方。", " ", "心得。"},
                                    {"麻黄汤。", "麻黄、桂枝。", "发汗。", "风寒。", "水煎。", "伤寒论。", " ", " "},
                                    {"桂枝汤。", "桂枝。", "解肌。", "风寒。", "水煎。", "伤寒论。", " ", "常用。"}};
    EXPECT_EQ(rows("SELECT * FROM 中医方剂 ORDER BY rowid"), stored);
}

// On the seed's own formulas: a composition written another way is the same composition, a
// source without 方剂备注 never clears our chapter, and a new formula's composition is stored in
// its one form.
TEST_F(ImportRecords, FormulasMergeWithTheShippedOnesAndKeepTheirChapters)
{
    const auto stored = [this](const QString &name) {
        ds::Database db = ds::openDataFile(dataFile);
        return formulas::findFormula(db, name).value_or(formulas::FormulaRecord{});
    };
    const formulas::FormulaRecord guizhi = stored("桂枝汤"), mahuang = stored("麻黄汤");
    const auto family = [](const formulas::FormulaRecord &r) { return Row{r[0], r[1], r[2], r[3], r[4], r[5], r[7]}; };
    Row sameGuizhi = family(guizhi);
    sameGuizhi[1] = "桂枝 9克，芍药9g, 炙甘草6g 生姜9g、大枣3枚";
    Row otherMahuang = family(mahuang);
    otherMahuang[6] = "本院常用";
    const QString source =
        makeSource({}, {sameGuizhi, otherMahuang, {"本院新方", "云苓 15g 白术10g", "健脾", "脾虚", "水煎服", "本院", " "}});
    const maint::MergePlan plan = maint::planImport(dataFile, source, ImportKind::Prescriptions);
    EXPECT_EQ(plan.identical, 1);
    ASSERT_EQ(plan.different.size(), 1);
    EXPECT_EQ(plan.different[0].fields, QList<int>{7});
    maint::applyImport(dataFile, ImportKind::Prescriptions, plan, MergeChoice::TakeTheirs);
    EXPECT_EQ(stored("麻黄汤")[formulas::kChapter], mahuang[formulas::kChapter]);
    EXPECT_EQ(stored("麻黄汤")[formulas::kNotes], "本院常用。");
    EXPECT_EQ(stored("本院新方")[formulas::kComposition], "云苓15g、白术10g。");
}

TEST_F(ImportRecords, AStoredNameInTwoFormsIsAnsweredByTheOneInStoredForm)
{
    const QStringList older{"甘草", " ", " ", " ", " ", " ", " ", "旧。"};
    const QStringList typed{"甘草。", " ", " ", " ", " ", " ", " ", "新。"};
    const maint::MergePlan plan = maint::sortForMerge({{1, older}, {2, typed}}, {{1, typed}});
    EXPECT_EQ(plan.identical, 1);
    EXPECT_TRUE(plan.different.isEmpty());
    EXPECT_TRUE(plan.fresh.isEmpty());
    // A text an older program stored unnormalised equals the imported one in stored form.
    const QStringList legacy{"黄芪。", "归脾经", " ", " ", " ", " ", " ", " "};
    EXPECT_EQ(maint::sortForMerge({{3, legacy}}, {{1, {"黄芪。", "归脾经。", " ", " ", " ", " ", " ", " "}}}).identical, 1);
}

TEST_F(ImportRecords, EmptyOrMissingSourceTables)
{
    EXPECT_EQ(maint::planImport(dataFile, makeSource({}), ImportKind::Herbs).sourceRows, 0);
    const QString noTables = home.file("无表.mdb");
    ds::Database::create(noTables, maint::kImportSourceConnect).execute("CREATE TABLE 其他 (a)");
    try {
        maint::importRecords(dataFile, noTables, ImportKind::Prescriptions);
        ADD_FAILURE() << "a source without zyfj was imported";
    } catch (const ds::RunError &error) {
        EXPECT_EQ(error.number(), int(ds::ErrorCode::ObjectNotFound));
        EXPECT_TRUE(error.description().contains("zyfj"));
    }
}

TEST_F(ImportRecords, ABackupOfAnotherClinicsDataFileIsASourceButTheDataFileItselfIsNot)
{
    const QString other = home.file("另一家诊所.mdb");
    makeDataFileWithOwnSalt(other, "另一家的药");
    const QByteArray before = readBytes(other);
    EXPECT_EQ(maint::importRecords(dataFile, other, ImportKind::Herbs), 1);
    EXPECT_TRUE(herbNames(dataFile).contains("另一家的药。"));
    EXPECT_EQ(readBytes(other), before);

    const QList<QStringList> herbs = rows("SELECT * FROM 中医药材");
    EXPECT_THROW(maint::importRecords(dataFile, dataFile, ImportKind::Herbs), ds::RunError);
    const QString link = home.file("链接.mdb");
    ASSERT_TRUE(QFile::link(dataFile, link));
    EXPECT_THROW(maint::importRecords(dataFile, link, ImportKind::Herbs), ds::RunError);
    EXPECT_EQ(rows("SELECT * FROM 中医药材"), herbs);
}

// Restore and import refuse a chosen file with the numbers the data file gets at start-up,
// in words about the chosen file that name it.
TEST_F(ImportRecords, AChosenFileThatCannotServeIsNamedInWordsOfItsOwn)
{
    const struct {
        const char *file;
        std::function<void(const QString &)> make;
        ds::ErrorCode code;
        QString says;
    } cases[] = {
        {"无.mdb", [](const QString &) {}, ds::ErrorCode::FileNotFound, "找不到所选文件"},
        {"空.mdb", [](const QString &p) { writeBytes(p, {}); }, ds::ErrorCode::EmptyFile, "所选文件是空的"},
        {"文字.mdb", [](const QString &p) { writeBytes(p, QByteArray(4096, 'x')); }, ds::ErrorCode::WrongPassword,
         "所选文件的密码不正确"},
        {"文件夹.mdb", [](const QString &p) { QDir().mkpath(p); }, ds::ErrorCode::FileCannotBeOpened, "所选的是一个文件夹"},
        {"改了一半.mdb",
         [](const QString &p) {
             copySeedTo(p);
             crashInsideTransaction(p);
         },
         ds::ErrorCode::FileReadOnly, "所选文件还有未完成的修改（"},
    };
    const QByteArray before = readBytes(dataFile);
    for (const auto &c : cases) {
        const QString path = home.file(c.file);
        c.make(path);
        const std::function<void()> uses[] = {[&] { maint::checkDataFileCopy(path); },
                                              [&] { maint::importRecords(dataFile, path, ImportKind::Herbs); }};
        for (const auto &use : uses) {
            try {
                use();
                ADD_FAILURE() << c.file << " served";
            } catch (const ds::RunError &error) {
                EXPECT_EQ(error.number(), int(c.code)) << c.file;
                EXPECT_TRUE(error.description().contains(c.says)) << error.description().toStdString();
                EXPECT_TRUE(error.description().contains(path)) << error.description().toStdString();
                EXPECT_FALSE(error.description().contains("数据文件密码")) << error.description().toStdString();
            }
        }
    }
    EXPECT_TRUE(QFile::exists(home.file("改了一半.mdb-journal")));
    EXPECT_EQ(readBytes(dataFile), before);
}

} // namespace
