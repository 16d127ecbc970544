// Import from another data file: all rows or none, any text as it stands, the source untouched.
#include "maintenance/import_records.h"
#include "maintenance_fixture.h"

namespace {

using Row = QVariantList;

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

    TempHome home;
    QString dataFile = home.installSeed();
    int sources = 0;
};

TEST_F(ImportRecords, HerbsAndPrescriptionsGoInAsTheyStandAndTheSourceStaysUntouched)
{
    const QString source = makeSource({herb("山'药"), herb("新药','乙")}, {{"四君子汤", "人参", "益气", "气虚", "水煎", "局方", "心得"}});
    const QByteArray before = readBytes(source);

    EXPECT_EQ(maint::importRecords(dataFile, source, maint::ImportKind::Herbs), 2);
    const QList<QStringList> yam{{"山'药", "肝经", "甘，平", "补气", "气虚", "煎服", "无", "常用"}};
    EXPECT_EQ(rows("SELECT * FROM 中医药材 WHERE 名称 = '山''药'"), yam);
    EXPECT_EQ(rows("SELECT 名称 FROM 中医药材 WHERE 名称 = '新药'',''乙'").size(), 1);

    EXPECT_EQ(maint::importRecords(dataFile, source, maint::ImportKind::Prescriptions), 1);
    const QList<QStringList> prescription{{"四君子汤", "人参", "益气", "气虚", "水煎", "局方", " ", "心得"}};
    EXPECT_EQ(rows("SELECT * FROM 中医方剂"), prescription);

    EXPECT_EQ(readBytes(source), before);
    EXPECT_EQ(QDir(home.path()).entryList({"*journal*"}, QDir::Files), QStringList());
}

TEST_F(ImportRecords, ARefusedRowUndoesTheWholeImportAndIsNamed)
{
    const QString stored = rows("SELECT 名称 FROM 中医药材").value(0).value(0);
    ASSERT_FALSE(stored.isEmpty());
    const struct {
        const char *what;
        QList<Row> herbs;
        QString columns;
        ds::ErrorCode code;
        QString named;
    } cases[] = {
        {"a name already stored", {herb("新药甲"), herb("新药乙"), herb(stored)}, {}, ds::ErrorCode::DuplicateName,
         QStringLiteral("第 3 行（“%1”）不能导入：中医药材中已经有同名的记录").arg(stored)},
        {"a name twice in the source", {herb("新药甲"), herb("新药甲")}, {}, ds::ErrorCode::DuplicateName, "第 2 行（“新药甲”）"},
        {"a Null value", {herb("新药甲"), herb("新药乙", QVariant())}, {}, ds::ErrorCode::InvalidUseOfNull, "第 2 行（“新药乙”）"},
        {"a missing column", {{"新药甲", "肝经"}}, "ycmc,ycgj", ds::ErrorCode::ObjectNotFound, "ycxw"},
    };
    const QList<QStringList> before = rows("SELECT * FROM 中医药材");
    for (const auto &c : cases) {
        const QString source = c.columns.isEmpty() ? makeSource(c.herbs) : makeSource(c.herbs, {}, c.columns);
        try {
            maint::importRecords(dataFile, source, maint::ImportKind::Herbs);
            ADD_FAILURE() << c.what << " was imported";
        } catch (const ds::RunError &error) {
            EXPECT_EQ(error.number(), int(c.code)) << c.what;
            EXPECT_TRUE(error.description().contains(c.named)) << c.what << ": " << error.description().toStdString();
        }
        EXPECT_EQ(rows("SELECT * FROM 中医药材"), before) << c.what;
    }
}

TEST_F(ImportRecords, EmptyOrMissingSourceTables)
{
    EXPECT_EQ(maint::importRecords(dataFile, makeSource({}), maint::ImportKind::Herbs), 0);
    const QString noTables = home.file("无表.mdb");
    ds::Database::create(noTables, maint::kImportSourceConnect).execute("CREATE TABLE 其他 (a)");
    try {
        maint::importRecords(dataFile, noTables, maint::ImportKind::Prescriptions);
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
    EXPECT_EQ(maint::importRecords(dataFile, other, maint::ImportKind::Herbs), 1);
    EXPECT_TRUE(herbNames(dataFile).contains("另一家的药"));
    EXPECT_EQ(readBytes(other), before);

    const QList<QStringList> herbs = rows("SELECT * FROM 中医药材");
    EXPECT_THROW(maint::importRecords(dataFile, dataFile, maint::ImportKind::Herbs), ds::RunError);
    EXPECT_EQ(rows("SELECT * FROM 中医药材"), herbs);
}

} // namespace
