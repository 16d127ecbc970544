#include "datastore/data_file.h"
#include "datastore/errors.h"
#include "temp_data.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <sqlcipher/sqlite3.h>

#include <gtest/gtest.h>

class StoredQueries : public ::testing::Test {
protected:
    TempHome home;
    QString path = copySeedTo(home.file("ccyc.mdb"));

    // Empties 密码表 and then fails to refill it, inside one transaction.
    static void failToReplacePasswords(ds::Database &db)
    {
        try {
            ds::Transaction replace(db);
            db.execute("DELETE * FROM 密码表");
            db.execute("INSERT INTO 没有这个表 VALUES (1)");
            replace.commit();
        } catch (const ds::RunError &) {
        }
    }

    // Leaves these stored queries in the file, as an earlier run of the program would.
    void storeQueries(std::initializer_list<std::pair<const char *, const char *>> queries)
    {
        ds::Database db = ds::openDataFile(path);
        for (const auto &[name, sql] : queries)
            db.createQuery(name, sql);
    }
};

TEST_F(StoredQueries, CreateEnumerateCountReadBackAndDelete)
{
    ds::Database db = ds::openDataFile(path);
    EXPECT_EQ(db.queryCount(), 0);
    db.createQuery("000", "SELECT * FROM 密码表");
    db.createQuery("yhmc", "select 姓名 FROM 密码表");
    EXPECT_EQ(db.queryCount(), 2);
    EXPECT_EQ(db.queryNames(), QStringList({"000", "yhmc"}));
    EXPECT_EQ(db.queryText("yhmc"), "select 姓名 FROM 密码表");
    db.deleteQuery("yhmc");
    EXPECT_EQ(db.queryNames(), QStringList({"000"}));
}

TEST_F(StoredQueries, PurgeLeavesNoneAndQueriesOutliveTheConnection)
{
    {
        ds::Database db = ds::openDataFile(path);
        for (const char *name : {"000", "001", "yhmc", "yhmm", "旧查询"})
            db.createQuery(name, "SELECT * FROM 中医药材");
    }
    ds::Database db = ds::openDataFile(path);
    EXPECT_EQ(db.queryCount(), 5);
    db.purgeQueries();
    EXPECT_EQ(db.queryCount(), 0);
    db.purgeQueries(); // nothing to purge is fine
    EXPECT_EQ(db.queryCount(), 0);
}

TEST_F(StoredQueries, TextWithTwoStatementsIsRefusedAndNothingRuns)
{
    ds::Database db = ds::openDataFile(path);
    const int herbs = db.openTable("中医药材").recordCount();
    try {
        db.createQuery("000", "SELECT * FROM 中医药材; DELETE FROM 中医药材");
        FAIL() << "two statements were accepted";
    } catch (const ds::RunError &error) {
        EXPECT_EQ(error.number(), int(ds::ErrorCode::MultipleStatements));
    }
    EXPECT_THROW(db.execute("DELETE FROM 密码表; DELETE FROM 中医药材"), ds::RunError);
    EXPECT_THROW(db.openDynaset("SELECT 1; DROP TABLE 中医药材"), ds::RunError);
    EXPECT_EQ(db.openTable("中医药材").recordCount(), herbs);
    EXPECT_EQ(db.queryCount(), 0);
}

TEST_F(StoredQueries, DynasetOverStoredQueryTableAndText)
{
    ds::Database db = ds::openDataFile(path);
    db.createQuery("000", "select count(*) FROM 中医药材 ");
    ds::Dynaset count = db.openDynaset("000");
    const int herbs = db.openTable("中医药材").recordCount();
    EXPECT_EQ(count.field(0).toInt(), herbs);
    EXPECT_EQ(db.openDynaset("中医药材").recordCount(), herbs);
    EXPECT_EQ(db.openDynaset("SELECT 名称 FROM 中医药材 WHERE 名称 = '人参。'").recordCount(), 1);
    // A statement that writes is no recordset source, and it does not run.
    EXPECT_THROW(db.openDynaset("DELETE * FROM 中医药材"), ds::RunError);
    EXPECT_EQ(db.openTable("中医药材").recordCount(), herbs);
}

TEST_F(StoredQueries, DeleteStarFromIsAccepted)
{
    ds::Database db = ds::openDataFile(path);
    db.execute("INSERT INTO 药材功效 Values('补气')");
    db.execute("INSERT INTO 药材功效 Values('安神')");
    EXPECT_EQ(db.execute("DELETE * FROM 药材功效"), 2);
    EXPECT_EQ(db.openTable("药材功效").recordCount(), 0);
}

TEST_F(StoredQueries, SqlErrorsAreNumbered)
{
    ds::Database db = ds::openDataFile(path);
    try {
        db.openDynaset("SELECT * FROM 不存在的表");
        FAIL();
    } catch (const ds::RunError &error) {
        EXPECT_EQ(error.number(), int(ds::ErrorCode::ObjectNotFound));
    }
    try {
        db.execute("SELEC 1");
        FAIL();
    } catch (const ds::RunError &error) {
        EXPECT_EQ(error.number(), int(ds::ErrorCode::SyntaxError));
    }
}

TEST_F(StoredQueries, TransactionRollsBackUnlessCommitted)
{
    ds::Database db = ds::openDataFile(path);
    db.execute("INSERT INTO 密码表 VALUES ('张三', 'x', '1')");
    failToReplacePasswords(db);
    ds::Dynaset rows = db.openDynaset("SELECT 姓名 FROM 密码表");
    ASSERT_EQ(rows.recordCount(), 1);
    EXPECT_EQ(rows.text(0), "张三");
}

TEST_F(StoredQueries, PurgeThenCreateGivesExactlyTheNewQueries)
{
    storeQueries({{"000", "SELECT * FROM 密码表"}, {"001", "SELECT * FROM 用户资料"}});
    ds::Database db = ds::openDataFile(path);
    db.purgeQueries();
    EXPECT_EQ(db.queryCount(), 0);
    EXPECT_THROW(db.queryText("000"), ds::RunError);
    db.createQuery("000", "SELECT * FROM 密码表"); // the same text as before
    EXPECT_EQ(db.queryNames(), QStringList({"000"}));
    EXPECT_EQ(db.queryText("000"), "SELECT * FROM 密码表");

    db.purgeQueries();
    db.createQuery("000", "SELECT 名称 FROM 中医药材"); // another text under the same name
    EXPECT_EQ(db.queryText("000"), "SELECT 名称 FROM 中医药材");
    EXPECT_EQ(db.openDynaset("000").fieldCount(), 1);
    db.close();

    ds::Database again = ds::openDataFile(path);
    EXPECT_EQ(again.queryNames(), QStringList({"000"}));
    again.purgeQueries();
    EXPECT_THROW(again.openDynaset("000"), ds::RunError); // purged means gone for every reader
    again.close();
    EXPECT_EQ(ds::openDataFile(path).queryCount(), 0);
}

TEST_F(StoredQueries, PurgeIsWrittenAtCloseAndCreatingAnExistingNameFails)
{
    {
        ds::Database db = ds::openDataFile(path);
        db.createQuery("yhmc", "select 姓名 FROM 密码表");
        EXPECT_THROW(db.createQuery("yhmc", "select 姓名 FROM 密码表"), ds::RunError);
        db.purgeQueries();
    }
    EXPECT_EQ(ds::openDataFile(path).queryCount(), 0);
}

TEST_F(StoredQueries, PurgeSurvivesAMoveOfTheHandle)
{
    storeQueries({{"000", "SELECT * FROM 密码表"}, {"yhmc", "select 姓名 FROM 密码表"}});
    {
        ds::Database first = ds::openDataFile(path);
        first.purgeQueries();
        ds::Database second = std::move(first);
        EXPECT_EQ(second.queryCount(), 0);
        ds::Database third = ds::openDataFile(path);
        third = std::move(second);
        EXPECT_EQ(third.queryCount(), 0);
    }
    EXPECT_EQ(ds::openDataFile(path).queryNames(), QStringList());
}

TEST_F(StoredQueries, PurgeInsideATransactionThatRollsBackIsStillDone)
{
    storeQueries({{"000", "SELECT * FROM 密码表"}, {"001", "SELECT * FROM 用户资料"}});
    {
        ds::Database db = ds::openDataFile(path);
        db.purgeQueries();
        failToReplacePasswords(db);
        EXPECT_EQ(db.queryCount(), 0);
        db.createQuery("000", "SELECT * FROM 中医药材");
        EXPECT_EQ(db.queryNames(), QStringList({"000"}));
    }
    {
        ds::Database db = ds::openDataFile(path);
        EXPECT_EQ(db.queryNames(), QStringList({"000"}));
        db.purgeQueries();
        {
            ds::Transaction inside(db);
            db.createQuery("001", "SELECT * FROM 密码表");
            EXPECT_EQ(db.queryNames(), QStringList({"001"}));
            // not committed: the new query goes, the purge stays pending
        }
        EXPECT_EQ(db.queryCount(), 0);
    }
    EXPECT_EQ(ds::openDataFile(path).queryCount(), 0);
}

TEST_F(StoredQueries, AFailedCreateLeavesThePurgePendingAndDeleteNeedsAName)
{
    storeQueries({{"000", "SELECT * FROM 密码表"}, {"旧的", "SELECT * FROM 中医药材"}});
    {
        ds::Database db = ds::openDataFile(path);
        db.purgeQueries();
        EXPECT_THROW(db.createQuery("000", "SELECT * FROM 没有这个表"), ds::RunError);
        EXPECT_THROW(db.createQuery("密码表", "SELECT 1"), ds::RunError); // fails inside its transaction
        EXPECT_EQ(db.queryCount(), 0);
        try {
            db.deleteQuery("000");
            ADD_FAILURE() << "a purged query cannot be deleted again";
        } catch (const ds::RunError &error) {
            EXPECT_EQ(error.number(), int(ds::ErrorCode::ObjectNotFound));
        }
    }
    EXPECT_EQ(ds::openDataFile(path).queryCount(), 0);
}

TEST_F(StoredQueries, APurgedQueryMadeAgainInATransactionThatRollsBackStaysPurged)
{
    storeQueries({{"000", "SELECT * FROM 密码表"}, {"001", "SELECT * FROM 用户资料"}});
    {
        ds::Database db = ds::openDataFile(path);
        db.purgeQueries();
        {
            ds::Transaction rebuild(db);
            db.createQuery("000", "SELECT 名称 FROM 中医药材"); // another text
            db.createQuery("001", "SELECT * FROM 用户资料");   // the same text
            EXPECT_EQ(db.queryNames(), QStringList({"000", "001"}));
        }
        EXPECT_EQ(db.queryCount(), 0);
        EXPECT_THROW(db.queryText("000"), ds::RunError);
        EXPECT_THROW(db.openDynaset("001"), ds::RunError);
        // Committed, the queries made again stay.
        {
            ds::Transaction rebuild(db);
            db.createQuery("000", "SELECT 名称 FROM 中医药材");
            rebuild.commit();
        }
        EXPECT_EQ(db.queryNames(), QStringList({"000"}));
    }
    EXPECT_EQ(ds::openDataFile(path).queryNames(), QStringList({"000"}));
}

TEST_F(StoredQueries, ARecordsetOpensOnlyFromASelect)
{
    QTemporaryDir other;
    ds::Database db = ds::openDataFile(path);
    for (const QString &source : {QStringLiteral("BEGIN"), QStringLiteral("BEGIN IMMEDIATE"), QStringLiteral("SAVEPOINT a"),
                                  QStringLiteral("ROLLBACK"), QStringLiteral("RELEASE a"),
                                  QStringLiteral("ATTACH DATABASE '%1' AS 外").arg(other.filePath("x.db")),
                                  QStringLiteral("PRAGMA table_info(密码表)"), QStringLiteral("pragma user_version"),
                                  QStringLiteral("EXPLAIN SELECT 1"), QStringLiteral("VACUUM"),
                                  QStringLiteral("-- SELECT\nPRAGMA key = 'x'"), QStringLiteral("SELECTED")}) {
        SCOPED_TRACE(source.toStdString());
        try {
            db.openDynaset(source);
            ADD_FAILURE() << "accepted";
        } catch (const ds::RunError &error) {
            EXPECT_EQ(error.number(), int(ds::ErrorCode::SyntaxError));
        }
        EXPECT_TRUE(sqlite3_get_autocommit(db.handle())); // no transaction was begun
    }
    EXPECT_FALSE(QFileInfo::exists(other.filePath("x.db")));
    for (const char *select : {"select 1", "  /* 注 */ -- 行\n SELECT 名称 FROM 中医药材", "SELECT\t1"})
        EXPECT_NO_THROW(db.openDynaset(QString::fromUtf8(select))) << select;
}
