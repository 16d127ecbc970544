#include "datastore/data_file.h"
#include "temp_data.h"

#include <gtest/gtest.h>

namespace {

QStringList columnsOf(ds::Database &db, const QString &table)
{
    ds::TableRecordset rows = db.openTable(table);
    QStringList names;
    for (int i = 0; i < rows.fieldCount(); ++i)
        names.append(rows.fieldName(i));
    return names;
}

} // namespace

TEST(SeedFile, HasEveryTableWithColumnsInOrderAndTheFirstUseState)
{
    TempHome home;
    ds::Database db = ds::openDataFile(copySeedTo(home.file("ccyc.mdb")));
    EXPECT_EQ(columnsOf(db, "中医药材"), QStringList({"名称", "归经", "性味", "功效", "主治", "用法", "宜忌", "心得"}));
    EXPECT_EQ(columnsOf(db, "药材功效"), QStringList({"药材功效"}));
    EXPECT_EQ(columnsOf(db, "药材主治"), QStringList({"药材主治"}));
    EXPECT_EQ(columnsOf(db, "密码表"), QStringList({"姓名", "密码", "级别"}));
    EXPECT_EQ(columnsOf(db, "用户资料"), QStringList({"单位", "地址", "电话", "姓名"}));
    EXPECT_EQ(columnsOf(db, "系统资料").value(2), "03");
    EXPECT_GE(columnsOf(db, "系统附表").size(), 18);
    EXPECT_EQ(columnsOf(db, "中医方剂").size(), 8);

    EXPECT_EQ(db.openTable("密码表").recordCount(), 0);
    EXPECT_EQ(db.openTable("用户资料").recordCount(), 0);
    ds::TableRecordset system = db.openTable("系统资料");
    ASSERT_EQ(system.recordCount(), 1);
    system.moveFirst();
    EXPECT_TRUE(system.field("03").isNull());
    EXPECT_EQ(db.queryCount(), 0);
}

TEST(SeedFile, HerbRowsAreInStoredForm)
{
    TempHome home;
    ds::Database db = ds::openDataFile(copySeedTo(home.file("ccyc.mdb")));
    ds::Dynaset herbs = db.openDynaset("中医药材");
    ASSERT_GE(herbs.recordCount(), 10);
    for (; !herbs.eof(); herbs.moveNext()) {
        for (int column = 0; column < 8; ++column) {
            const QString text = herbs.text(column);
            SCOPED_TRACE(text.toStdString());
            EXPECT_TRUE(text == " " || (text.endsWith("。") && !text.contains(' ')));
            EXPECT_FALSE(text.contains(',') || text.contains(';'));
        }
    }
}
