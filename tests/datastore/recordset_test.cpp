#include "datastore/data_file.h"
#include "datastore/errors.h"
#include "datastore/sql_text.h"
#include "temp_data.h"

#include <optional>

#include <sqlcipher/sqlite3.h>

#include <gtest/gtest.h>

class Recordsets : public ::testing::Test {
protected:
    TempHome home;
    QString path = copySeedTo(home.file("ccyc.mdb"));
    ds::Database db = ds::openDataFile(path);
};

TEST_F(Recordsets, EmptyResultTest)
{
    // No row.
    EXPECT_TRUE(ds::isEmptyResult(db.openDynaset("SELECT * FROM 密码表")));
    // A row whose first column is Null.
    db.execute("INSERT INTO 密码表 (姓名, 密码) VALUES (NULL, 'x')");
    EXPECT_TRUE(ds::isEmptyResult(db.openDynaset("SELECT * FROM 密码表")));
    // A row whose first column is the empty text is not empty.
    db.execute("DELETE * FROM 密码表");
    db.execute("INSERT INTO 密码表 (姓名, 密码) VALUES ('', 'x')");
    EXPECT_FALSE(ds::isEmptyResult(db.openDynaset("SELECT * FROM 密码表")));
}

TEST_F(Recordsets, DynasetMovesAndReadsFieldsByPositionAndName)
{
    ds::Dynaset herbs = db.openDynaset("SELECT 名称, 归经, 宜忌 FROM 中医药材 ORDER BY 名称");
    const int count = herbs.recordCount();
    ASSERT_GT(count, 3);
    herbs.moveLast();
    const QString last = herbs.text(0);
    herbs.moveFirst();
    EXPECT_EQ(herbs.field("名称").toString(), herbs.text(0));
    int visited = 0;
    QString previous;
    while (!herbs.eof()) {
        previous = herbs.text(0);
        ++visited;
        herbs.moveNext();
    }
    EXPECT_EQ(visited, count);
    EXPECT_EQ(previous, last);
    EXPECT_THROW(herbs.field(0), ds::RunError); // past the end there is no current row
    herbs.moveFirst();
    EXPECT_THROW(herbs.field("没有这列"), ds::RunError);
}

TEST_F(Recordsets, NullFieldsReadAsNull)
{
    db.execute("INSERT INTO 中医药材 (名称) VALUES ('只有名称')");
    ds::Dynaset row = db.openDynaset("SELECT * FROM 中医药材 WHERE 名称 = '只有名称'");
    EXPECT_FALSE(row.isNull(0));
    EXPECT_TRUE(row.isNull(7));
    EXPECT_TRUE(row.text(7).isEmpty());
}

TEST_F(Recordsets, SeekHitAndMissOnNameIndex)
{
    ds::TableRecordset herbs = db.openTable("中医药材");
    herbs.setIndex("ycmci");
    herbs.seek("=", "人参。");
    ASSERT_FALSE(herbs.noMatch());
    EXPECT_EQ(herbs.field(0).toString(), "人参。");
    EXPECT_EQ(herbs.field("归经").toString(), "归脾、肺、心、肾经。");
    herbs.seek("=", "人参"); // the stored name ends in "。": an exact seek does not find it
    EXPECT_TRUE(herbs.noMatch());
    EXPECT_THROW(herbs.setIndex("没有的索引"), ds::RunError);
}

TEST_F(Recordsets, AddEditUpdateAndDelete)
{
    ds::TableRecordset herbs = db.openTable("中医药材");
    herbs.setIndex("ycmci");
    const int before = herbs.recordCount();

    herbs.addNew();
    const QStringList texts{"测试药。", "归肝经。", "甘，平。", "补气。", "气虚。", "煎服。", " ", " "};
    for (int i = 0; i < texts.size(); ++i)
        herbs.setField(i, texts[i]);
    herbs.update();
    EXPECT_EQ(herbs.recordCount(), before + 1);

    herbs.seek("=", "测试药。");
    ASSERT_FALSE(herbs.noMatch());
    herbs.edit();
    herbs.setField(3, "补气生津。");
    herbs.update();
    herbs.seek("=", "测试药。");
    EXPECT_EQ(herbs.field(3).toString(), "补气生津。");
    EXPECT_EQ(herbs.field(1).toString(), "归肝经。");

    herbs.deleteCurrent();
    herbs.seek("=", "测试药。");
    EXPECT_TRUE(herbs.noMatch());
    EXPECT_EQ(herbs.recordCount(), before);
    EXPECT_THROW(herbs.edit(), ds::RunError);
}

TEST_F(Recordsets, SecondRowWithSameNameIsRefusedAndNamed)
{
    ds::TableRecordset herbs = db.openTable("中医药材");
    herbs.setIndex("ycmci");
    herbs.addNew();
    herbs.setField(0, "人参。");
    try {
        herbs.update();
        FAIL() << "a second 人参。 was stored";
    } catch (const ds::RunError &error) {
        EXPECT_EQ(error.number(), int(ds::ErrorCode::DuplicateName));
        EXPECT_TRUE(error.description().contains("人参。")) << error.description().toStdString();
    }
    EXPECT_EQ(db.openDynaset("SELECT * FROM 中医药材 WHERE 名称 = '人参。'").recordCount(), 1);
}

TEST_F(Recordsets, QuotedValueIsStoredAndFoundIntact)
{
    const QString name = "王'氏\"方'); DELETE FROM 中医药材; --";
    db.execute("INSERT INTO 中医药材 (名称) VALUES (" + ds::sqlQuoted(name) + ")");
    ds::Dynaset found = db.openDynaset("SELECT 名称 FROM 中医药材 WHERE 名称 = '" + ds::sqlEscape(name) + "'");
    ASSERT_EQ(found.recordCount(), 1);
    EXPECT_EQ(found.text(0), name);
    ds::TableRecordset herbs = db.openTable("中医药材");
    herbs.setIndex("ycmci");
    herbs.seek("=", name);
    EXPECT_FALSE(herbs.noMatch());
    EXPECT_GT(herbs.recordCount(), 2);
}

TEST_F(Recordsets, SettingsRowByIntegerKeyAndBinaryChunks)
{
    ds::TableRecordset settings = db.openTable("系统附表");
    settings.setIndex("lllk");
    settings.seek("=", 103);
    EXPECT_TRUE(settings.noMatch());
    settings.addNew();
    settings.setField(0, 103);
    settings.setField(1, 1500);
    settings.update();
    settings.seek("=", 103);
    ASSERT_FALSE(settings.noMatch());
    EXPECT_EQ(settings.field(1).toLongLong(), 1500);

    ds::TableRecordset system = db.openTable("系统资料");
    ASSERT_EQ(system.recordCount(), 1);
    system.moveFirst();
    system.edit();
    system.setField("03", QVariant());
    system.appendChunk(2, QByteArray(4096, 'a'));
    system.appendChunk(2, QByteArray(10, 'b'));
    system.update();
    system.moveFirst();
    const QByteArray picture = system.field(2).toByteArray();
    EXPECT_EQ(picture.size(), 4106);
    EXPECT_TRUE(picture.endsWith("bbbbbbbbbb"));
}

TEST_F(Recordsets, WalkingAndDeletingVisitsEveryRowOnceAndNothingPastTheEnd)
{
    for (const QString name : {"甲。", "乙。", "丙。", "丁。"})
        db.execute("INSERT INTO 药材功效 VALUES (?1)", {name});
    ds::TableRecordset words = db.openTable("药材功效");

    // Deleting each row as it is reached leaves none behind (no row is skipped).
    int visited = 0;
    for (words.moveFirst(); !words.eof(); words.moveNext()) {
        ++visited;
        words.deleteCurrent();
        EXPECT_THROW(words.field(0), ds::RunError);
    }
    EXPECT_EQ(visited, 4);
    EXPECT_EQ(words.recordCount(), 0);

    // Past the last row there is no current row to read or delete.
    ds::TableRecordset herbs = db.openTable("中医药材");
    herbs.setIndex("ycmci");
    const int before = herbs.recordCount();
    herbs.moveLast();
    ASSERT_FALSE(herbs.eof());
    herbs.moveNext();
    ASSERT_TRUE(herbs.eof());
    EXPECT_THROW(herbs.field(0), ds::RunError);
    EXPECT_THROW(herbs.deleteCurrent(), ds::RunError);
    EXPECT_THROW(herbs.edit(), ds::RunError);
    EXPECT_EQ(herbs.recordCount(), before);

    // A row found by seek and deleted: the next move goes on to the row after it.
    herbs.seek("=", "人参。");
    ASSERT_FALSE(herbs.noMatch());
    herbs.moveNext();
    const QString after = herbs.eof() ? QString() : herbs.field(0).toString();
    herbs.seek("=", "人参。");
    herbs.deleteCurrent();
    herbs.moveNext();
    EXPECT_EQ(herbs.eof() ? QString() : herbs.field(0).toString(), after);
    EXPECT_EQ(herbs.recordCount(), before - 1);
}

TEST_F(Recordsets, AfterUpdateTheNextMoveGoesOnFromTheRowJustWritten)
{
    db.execute("DELETE * FROM 中医药材");
    for (const QString name : {"甲。", "丙。", "戊。"})
        db.execute("INSERT INTO 中医药材 (名称) VALUES (?1)", {name});
    ds::TableRecordset herbs = db.openTable("中医药材");
    herbs.setIndex("ycmci");
    // Names in byte order: 丁 < 丙 < 戊 < 甲 (U+4E01, U+4E19, U+620A, U+7532).
    herbs.seek("=", "丙。");
    herbs.moveNext();
    ASSERT_EQ(herbs.field(0).toString(), "戊。");

    herbs.addNew();
    herbs.setField(0, "丁。");
    herbs.update();
    EXPECT_EQ(herbs.field(0).toString(), "丁。"); // the new row is current
    herbs.moveNext();
    EXPECT_EQ(herbs.field(0).toString(), "丙。"); // on from it, not back to the first row

    herbs.edit();
    herbs.setField(7, "心得。");
    herbs.update();
    herbs.moveNext();
    EXPECT_EQ(herbs.field(0).toString(), "戊。");
}

TEST_F(Recordsets, ARecordsetOrTransactionOutlivingItsHandleIsSafe)
{
    // A recordset from a Database that has gone reports a closed file instead of using it.
    std::optional<ds::TableRecordset> orphan;
    {
        ds::Database temporary = ds::openDataFile(path);
        orphan.emplace(temporary.openTable("密码表"));
    }
    EXPECT_THROW(orphan->recordCount(), ds::RunError);
    EXPECT_THROW(orphan->moveFirst(), ds::RunError);

    // A recordset and a transaction follow the Database when it moves.
    ds::TableRecordset words = db.openTable("药材功效");
    std::optional<ds::Database> moved;
    {
        ds::Transaction change(db);
        moved.emplace(std::move(db));
        moved->execute("INSERT INTO 药材功效 VALUES ('补气')");
        EXPECT_EQ(words.recordCount(), 1);
    } // not committed: rolled back on the handle that moved
    EXPECT_EQ(words.recordCount(), 0);
    EXPECT_TRUE(sqlite3_get_autocommit(moved->handle()));
    {
        ds::Transaction change(*moved);
        ds::Database again = std::move(*moved);
        again.execute("INSERT INTO 药材功效 VALUES ('安神')");
        change.commit();
    }
    EXPECT_THROW(words.recordCount(), ds::RunError); // the handle has closed
    EXPECT_EQ(ds::openDataFile(path).openTable("药材功效").recordCount(), 1);
}

TEST_F(Recordsets, EachRefusedValueHasItsOwnMessage)
{
    db.execute("CREATE TABLE 规则 (名 TEXT UNIQUE, 量 INTEGER NOT NULL, 价 INTEGER CHECK (价 > 0))");
    db.execute("INSERT INTO 规则 VALUES ('甲', 1, 1)");
    const struct {
        const char *sql;
        ds::ErrorCode code;
    } cases[] = {
        {"INSERT INTO 规则 VALUES ('甲', 1, 1)", ds::ErrorCode::DuplicateName},
        {"INSERT INTO 规则 VALUES ('乙', NULL, 1)", ds::ErrorCode::RequiredValueMissing},
        {"INSERT INTO 规则 VALUES ('丙', 1, -5)", ds::ErrorCode::ValidationRuleViolated},
    };
    for (const auto &each : cases) {
        SCOPED_TRACE(each.sql);
        try {
            db.execute(QString::fromUtf8(each.sql));
            ADD_FAILURE() << "accepted";
        } catch (const ds::RunError &error) {
            EXPECT_EQ(error.number(), int(each.code));
            EXPECT_TRUE(error.description().startsWith(ds::describe(each.code)));
        }
    }
    // The table recordset names a duplicate's value, and only a duplicate's.
    ds::TableRecordset rules = db.openTable("规则");
    const struct {
        QVariantList row;
        ds::ErrorCode code;
    } rows[] = {{{"甲", 1, 1}, ds::ErrorCode::DuplicateName}, {{"乙", QVariant(), 1}, ds::ErrorCode::RequiredValueMissing}};
    for (const auto &each : rows) {
        rules.addNew();
        for (int i = 0; i < each.row.size(); ++i)
            rules.setField(i, each.row[i]);
        try {
            rules.update();
            ADD_FAILURE() << "accepted";
        } catch (const ds::RunError &error) {
            EXPECT_EQ(error.number(), int(each.code)) << error.description().toStdString();
        }
        rules.cancelUpdate();
    }
}
