#include "qstring_printer.h"
#include "datastore/data_file.h"
#include "datastore/errors.h"
#include "herbs/gbk_bytes.h"
#include "herbs/herb_table.h"
#include "herbs/input_check.h"
#include "herbs/normalize_field_text.h"
#include "temp_data.h"

#include <gtest/gtest.h>

using namespace herbs;

namespace {

HerbRecord herb(const QString &name)
{
    return {name, "归肝经", "甘,平", "补气", "气虚", "煎服", "", ""};
}

} // namespace

TEST(InputCheck, RequiredFieldsInOrderWithTheirMessages)
{
    HerbRecord empty;
    InputCheck check = checkHerbInput(empty);
    EXPECT_EQ(check.missingField, kName);
    EXPECT_EQ(check.message, "输入药材名称");

    HerbRecord fields = herb("人参");
    fields[kEfficacy] = "   ";
    fields[kUsage] = "";
    check = checkHerbInput(fields);
    EXPECT_EQ(check.missingField, kEfficacy);
    EXPECT_EQ(check.message, "输入药材功用");
    EXPECT_EQ(check.texts[kEfficacy], "");
    // A failed check leaves the optional fields empty.
    EXPECT_EQ(check.texts[kCautions], "");

    fields[kEfficacy] = "补气";
    fields[kIndications] = " ";
    check = checkHerbInput(fields);
    EXPECT_EQ(check.missingField, kIndications);
    EXPECT_EQ(check.message, "输入药材主治");

    fields[kIndications] = "气虚";
    check = checkHerbInput(fields);
    EXPECT_EQ(check.missingField, kUsage);
    EXPECT_EQ(check.message, "输入药材用法");
}

TEST(InputCheck, PassingCheckTrimsAndFillsOptionalFieldsWithASpace)
{
    HerbRecord fields{"  人参 ", "", "  ", " 补气 ", "气虚", "煎服", "", "心得\r\n "};
    const InputCheck check = checkHerbInput(fields);
    ASSERT_TRUE(check.passed());
    const HerbRecord expected{"人参", " ", " ", "补气", "气虚", "煎服", " ", "心得\r\n"};
    EXPECT_EQ(check.texts, expected);
    // A line break is text, not a space: a box holding only one is filled.
    fields[kUsage] = "\r\n";
    EXPECT_TRUE(checkHerbInput(fields).passed());
}

TEST(GbkBytes, ChineseCountsTwoAsciiOne)
{
    EXPECT_EQ(gbkByteCount(""), 0);
    EXPECT_EQ(gbkByteCount("人参"), 4);
    EXPECT_EQ(gbkByteCount("ab1"), 3);
    EXPECT_EQ(gbkByteCount("人参a。，"), 9);
    EXPECT_EQ(gbkByteCount("\r\n"), 2);
    EXPECT_EQ(gbkByteCount("\uFF11"), 2); // full-width digit
}

TEST(GbkBytes, ClipKeepsWholeCharacters)
{
    EXPECT_EQ(clipToGbkBytes("人参当归", 5), "人参");
    EXPECT_EQ(clipToGbkBytes("人参当归", 1), "");
    EXPECT_EQ(clipToGbkBytes("a人", 2), "a");
    EXPECT_EQ(clipToGbkBytes("abc", 10), "abc");
    EXPECT_EQ(clipToGbkBytes("abc", 0), "");
    EXPECT_EQ(clipToGbkBytes("abc", -3), "");
    // A character outside the code page is cut whole, never split between its two halves.
    const QString face = QString::fromUtf16(u"a\U0001F600b");
    const QString clipped = clipToGbkBytes(face, gbkByteCount(face) - 1);
    EXPECT_EQ(clipped, QString::fromUtf16(u"a\U0001F600"));
}

class HerbTable : public ::testing::Test {
protected:
    TempHome home;
    QString path = keepOnlyFirstHerbs(copySeedTo(home.file("ccyc.mdb")));
    ds::Database db = ds::openDataFile(path);
};

TEST_F(HerbTable, FindByExactStoredName)
{
    const auto found = findHerb(db, "人参。");
    ASSERT_TRUE(found);
    EXPECT_EQ((*found)[kMeridian], "归脾、肺、心、肾经。");
    EXPECT_EQ((*found)[kNotes], " ");
}

TEST_F(HerbTable, AddStoresTheStoredFormAndRefusesAStoredName)
{
    EXPECT_EQ(herbCount(db), 12);
    EXPECT_EQ(addHerb(db, herb("党参")), SaveOutcome::Added);
    EXPECT_EQ(herbCount(db), 13);
    const auto stored = findHerb(db, "党参。");
    ASSERT_TRUE(stored);
    const HerbRecord expected{"党参。", "归肝经。", "甘，平。", "补气。", "气虚。", "煎服。", " ", " "};
    EXPECT_EQ(*stored, expected);

    EXPECT_EQ(addHerb(db, herb("党参。")), SaveOutcome::AlreadyStored);
    EXPECT_EQ(herbCount(db), 13);
}

TEST_F(HerbTable, SecondHerbWithTheSameStoredNameIsRefusedNamingIt)
{
    // "党参" is not found by its typed name, but its stored form clashes with the row.
    ASSERT_EQ(addHerb(db, herb("党参")), SaveOutcome::Added);
    try {
        addHerb(db, herb("党参"));
        FAIL() << "a second 党参。 was stored";
    } catch (const ds::RunError &error) {
        EXPECT_EQ(error.number(), int(ds::ErrorCode::DuplicateName));
        EXPECT_TRUE(error.description().contains("党参。")) << error.description().toStdString();
    }
    EXPECT_EQ(herbCount(db), 13);
}

TEST_F(HerbTable, ChangeReplacesAllColumnsOfTheFoundRowOnly)
{
    HerbRecord changed = herb("人参。");
    changed[kNotes] = "久服. 轻身";
    EXPECT_EQ(changeHerb(db, changed), ChangeOutcome::Changed);
    const auto stored = findHerb(db, "人参。");
    ASSERT_TRUE(stored);
    EXPECT_EQ((*stored)[kNature], "甘，平。");
    EXPECT_EQ((*stored)[kNotes], "久服。轻身。");
    EXPECT_EQ((*findHerb(db, "黄芪。"))[kNature], "甘，微温。");
    EXPECT_EQ(herbCount(db), 12);

    EXPECT_EQ(changeHerb(db, herb("党参")), ChangeOutcome::NotStored);
    EXPECT_EQ(herbCount(db), 12);
}

// A typed name finds its herb by the stored form first, then as typed without its spaces (an
// imported row's name may lack the "。"); each of find, change and delete, rolled back after.
TEST_F(HerbTable, TypedNameFindsChangesAndDeletesItsHerb)
{
    const struct {
        const char *typed;
        const char *stored; // nullptr: no herb
    } cases[] = {
        {"人参", "人参。"},   {"人参。", "人参。"},     {" 人参 ", "人参。"}, {" 人参。", "人参。"},
        {"人参.", "人参。"},  {"导入参", "导入参"},     {" 导入参 ", "导入参"}, {"导入参。", nullptr},
        {"党参", nullptr},    {"", nullptr},            {"  ", nullptr},
    };
    // An imported 人参 beside the stored 人参。: the stored form wins.
    db.execute("INSERT INTO 中医药材 VALUES ('人参', ' ', ' ', '补气', '气虚', '煎服', ' ', ' ')");
    db.execute("INSERT INTO 中医药材 VALUES ('导入参', ' ', ' ', '补气', '气虚', '煎服', ' ', ' ')");
    for (const auto &c : cases) {
        for (const char *operation : {"find", "change", "delete"}) {
            SCOPED_TRACE(QStringLiteral("%1 \"%2\"").arg(operation, c.typed).toStdString());
            const ds::Transaction undo(db);
            const QString op = QLatin1String(operation);
            if (op == "find") {
                const auto found = findTypedHerb(db, c.typed);
                EXPECT_EQ(found ? (*found)[kName] : QString(), c.stored ? QString(c.stored) : QString());
            } else if (op == "change") {
                HerbRecord changed = herb(c.typed);
                changed[kNotes] = "改过";
                EXPECT_EQ(changeHerb(db, changed), c.stored ? ChangeOutcome::Changed : ChangeOutcome::NotStored);
                if (c.stored) {
                    EXPECT_EQ((*findHerb(db, NormalizeFieldText(c.typed)))[kNotes], "改过。");
                }
                EXPECT_EQ(herbCount(db), 14);
            } else {
                EXPECT_EQ(deleteHerb(db, c.typed), c.stored != nullptr);
                EXPECT_EQ(herbCount(db), c.stored ? 13 : 14);
                if (c.stored) {
                    EXPECT_FALSE(findHerb(db, c.stored));
                }
            }
        }
    }
    // The exact find of the list stays exact.
    EXPECT_EQ((*findHerb(db, "人参"))[kName], "人参");
    EXPECT_FALSE(findHerb(db, " 人参。"));
    EXPECT_FALSE(findHerb(db, "导入参。"));
}

TEST_F(HerbTable, CountUsesTheScratchQuery)
{
    db.createQuery("旧查询", "SELECT 名称 FROM 中医药材");
    EXPECT_EQ(herbCount(db), 12);
    EXPECT_EQ(db.queryNames(), QStringList{"000"});
    EXPECT_EQ(db.queryText("000").trimmed(), "select count(*) FROM 中医药材");
}
