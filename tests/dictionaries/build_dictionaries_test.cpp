#include "dictionaries/build_dictionaries.h"

#include "datastore/data_file.h"
#include "fault_vfs.h"
#include "qstring_printer.h"
#include "recording_sink.h"
#include "temp_data.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Herb {
    QVariant efficacy;
    QVariant indication;
};

} // namespace

class Rebuild : public ::testing::Test {
protected:
    // The herb table holds exactly these herbs, and each dictionary one leftover keyword.
    void setHerbs(const QList<Herb> &herbs)
    {
        ds::Database db = ds::openDataFile(path);
        db.execute("DELETE * FROM 中医药材");
        int number = 0;
        for (const Herb &herb : herbs)
            db.execute("INSERT INTO 中医药材 (名称, 功效, 主治) VALUES (?1, ?2, ?3)",
                       {QString("药材%1。").arg(++number), herb.efficacy, herb.indication});
        db.execute("DELETE * FROM 药材功效");
        db.execute("DELETE * FROM 药材主治");
        db.execute("INSERT INTO 药材功效 VALUES ('旧功效')");
        db.execute("INSERT INTO 药材主治 VALUES ('旧主治')");
    }
    void execute(const QString &sql) { ds::openDataFile(path).execute(sql); }
    QStringList rows(const QString &sql) const
    {
        ds::Database db = ds::openDataFile(path);
        ds::Dynaset result = db.openDynaset(sql);
        QStringList texts;
        for (result.moveFirst(); !result.eof(); result.moveNext())
            texts.append(result.text(0));
        return texts;
    }
    // Counts the dictionary rows deleted and inserted from here on.
    void watchWrites()
    {
        execute("CREATE TABLE IF NOT EXISTS 写入 (行)");
        for (const char *table : {"药材功效", "药材主治"}) {
            for (const char *event : {"INSERT", "DELETE"})
                execute(QString("CREATE TRIGGER IF NOT EXISTS 记%1%2 AFTER %2 ON %1 BEGIN INSERT INTO 写入 VALUES (1); END")
                            .arg(table, event));
        }
        execute("DELETE FROM 写入");
    }
    int writes() const { return rows("SELECT count(*) FROM 写入").value(0).toInt(); }
    // The dictionaries' first pages as the file holds them: the cipher gives a page new bytes
    // whenever it is written, even with the content it had.
    QByteArray rootPages() const
    {
        constexpr int kPageSize = 1024; // the data file's cipher page size
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        QByteArray pages;
        for (const QString &root : rows("SELECT rootpage FROM sqlite_master WHERE name IN ('药材功效', '药材主治')")) {
            file.seek((root.toLongLong() - 1) * kPageSize);
            pages += file.read(kPageSize);
        }
        return pages;
    }
    QStringList efficacy() const { return rows("SELECT * FROM 药材功效 ORDER BY rowid"); }
    QStringList indication() const { return rows("SELECT * FROM 药材主治 ORDER BY rowid"); }
    void rebuild()
    {
        dict::BuildDictionaries(path, sink, [this] { ++yields; });
    }

    QTemporaryDir dir;
    QString path = copySeedTo(dir.filePath("ccyc.mdb"));
    RecordingSink sink;
    int yields = 0;
};

TEST_F(Rebuild, StoresEveryKeywordOccurrenceInHerbAndTextOrder)
{
    // A Null text in the first row does not hide the other herbs' keywords.
    setHerbs({{QVariant(), " "},
              {"清热，解毒。", "治头痛、头痛。"},
              {" 清热。 ", QVariant()},
              {"清热解毒", "牛黄's病。"}});
    rebuild();
    EXPECT_EQ(efficacy(), QStringList({"清热", "解毒", "清热"}));
    EXPECT_EQ(indication(), QStringList({"头痛", "头痛", "牛黄's病"}));
    // The query screen's reading lists each keyword once.
    EXPECT_EQ(rows("select DISTINCT * FROM 药材功效 order by 药材功效"), QStringList({"解毒", "清热"}));

    // The scratch queries stay behind until the next purge.
    ds::Database db = ds::openDataFile(path);
    EXPECT_EQ(db.queryNames(), QStringList({"000", "001"}));
    EXPECT_EQ(db.queryText("000"), "select 功效 FROM 中医药材");
    EXPECT_EQ(db.queryText("001"), "select 主治 FROM 中医药材");
}

TEST_F(Rebuild, NothingChangedWritesNoRowAndShowsTheSameProgress)
{
    // Keywords of one-, two-, three- and four-byte characters are each found stored as written.
    setHerbs({{QVariant(), " "}, {"清热，解毒。", "治头痛、头痛。"}, {"清热解毒", "牛黄's病。"}, {"é，𠀋草，a。", "Ω。"}});
    rebuild();
    const QStringList writing = sink.calls;
    sink.calls.clear();
    const QByteArray pages = rootPages();
    rebuild();
    EXPECT_EQ(rootPages(), pages);
    EXPECT_EQ(sink.calls, writing);
    EXPECT_EQ(efficacy(), QStringList({"清热", "解毒", "é", "𠀋草", "a"}));
}

TEST_F(Rebuild, WritesFromTheFirstDifferenceAndEndsAsARebuildFromEmpty)
{
    // Rows after the last herb whose keywords are found stored, in row order, are written again.
    const QString secondHerb = " WHERE 名称 = '药材2。'";
    const struct {
        const char *what;
        QString change;
        int written; // rows deleted and inserted in both dictionaries
    } cases[] = {
        {"nothing changed", "", 0},
        {"a herb in the middle with fewer keywords", "UPDATE 中医药材 SET 功效 = '清热。'" + secondHerb, 4},
        {"a herb in the middle with more keywords", "UPDATE 中医药材 SET 主治 = '头痛、咳嗽、发热、口渴。'" + secondHerb, 8},
        {"the first herb changed", "UPDATE 中医药材 SET 功效 = '益气，补气。' WHERE 名称 = '药材1。'", 12},
        {"a herb added", "INSERT INTO 中医药材 (名称, 功效, 主治) VALUES ('药材4。', '补气。', '气虚。')", 2},
        {"the last herb deleted", "DELETE FROM 中医药材 WHERE 名称 = '药材3。'", 2},
        {"a herb's text gone", "UPDATE 中医药材 SET 功效 = NULL" + secondHerb, 5},
        {"two herbs' texts swapped",
         "UPDATE 中医药材 SET 主治 = CASE 名称 WHEN '药材1。' THEN '失眠。' ELSE '气虚。' END WHERE 名称 IN ('药材1。', '药材3。')", 8},
        {"a keyword stored as bytes", "UPDATE 药材功效 SET 药材功效 = CAST(药材功效 AS BLOB) WHERE rowid = 2", 12},
        {"a keyword stored with a space", "UPDATE 药材主治 SET 药材主治 = 药材主治 || ' ' WHERE rowid = 3", 6},
        {"a row added by hand", "INSERT INTO 药材功效 VALUES ('补气')", 1},
        {"a row deleted by hand", "DELETE FROM 药材主治 WHERE rowid = 1", 7},
    };
    // Both dictionaries, row by row in row order, with each value's type.
    const auto stored = [this] {
        return rows("SELECT typeof(药材功效) || ':' || 药材功效 FROM 药材功效 ORDER BY rowid")
               + rows("SELECT typeof(药材主治) || ':' || 药材主治 FROM 药材主治 ORDER BY rowid");
    };
    for (const auto &[what, change, written] : cases) {
        setHerbs({{"补气，养血。", "气虚。"}, {"清热，解毒，利湿。", "头痛、咳嗽。"}, {"安神。", "失眠。"}});
        rebuild();
        if (!change.isEmpty())
            execute(change);
        watchWrites();
        rebuild();
        EXPECT_EQ(writes(), written) << what;
        const QStringList kept = stored();
        execute("DELETE * FROM 药材功效");
        execute("DELETE * FROM 药材主治");
        rebuild();
        EXPECT_EQ(kept, stored()) << what;
    }
}

TEST_F(Rebuild, EmptyHerbTableEmptiesBothDictionariesAndStillShowsTheWindow)
{
    setHerbs({});
    rebuild();
    EXPECT_TRUE(efficacy().isEmpty());
    EXPECT_TRUE(indication().isEmpty());
    EXPECT_EQ(sink.calls, QStringList({"show", "percent:", "phase:", "value:0", "unload"}));
    // Empty dictionaries that stay empty are not emptied again.
    const QByteArray pages = rootPages();
    rebuild();
    EXPECT_EQ(rootPages(), pages);
}

TEST_F(Rebuild, ProgressChangesOncePerHerbWithHalfToEvenPercentages)
{
    const struct {
        int herbs;
        QStringList percents;
        QStringList values;
    } cases[] = {
        {3,
         {"", "17%", "33%", "50%", "66%", "83%", "99%"},
         {"0", "16.6667", "33.3334", "50.0001", "66.3333", "82.6666", "98.9999"}},
        {4,
         {"", "12%", "25%", "38%", "50%", "62%", "74%", "87%", "99%"},
         {"0", "12.5", "25", "37.5", "50", "62.25", "74.5", "86.75", "99"}},
    };
    for (const auto &[herbs, percents, values] : cases) {
        setHerbs(QList<Herb>(herbs, Herb{"补气。", "气虚。"}));
        sink.calls.clear();
        yields = 0;
        rebuild();
        EXPECT_EQ(sink.of("percent"), percents) << herbs;
        EXPECT_EQ(sink.of("value"), values) << herbs;
        EXPECT_EQ(sink.of("phase"), QStringList({"", "正在生成药材功效词典......", "正在生成药材主治词典......"}));
        EXPECT_EQ(sink.calls.first(), "show");
        EXPECT_EQ(sink.calls.last(), "unload");
        EXPECT_GE(yields, 2 * herbs); // the windows repaint between herbs
        EXPECT_EQ(efficacy(), QStringList(herbs, "补气"));
    }
}

TEST_F(Rebuild, RefusedKeywordEndsOnlyThatHerbsText)
{
    // A refusal that undoes its own statement ends the herb's text there; one that rolls back
    // the whole transaction, whichever statement it hits, leaves the previous dictionaries as
    // they were and nothing is written after it.
    const QString refuseWord = "BEFORE INSERT ON 药材功效 WHEN NEW.药材功效 = '坏词' BEGIN SELECT RAISE(%1, '不收此词'); END";
    const struct {
        QString trigger;
        QStringList efficacy;
        QStringList indication;
    } cases[] = {
        {refuseWord.arg("ABORT"), {"甲", "丙"}, {"痛", "痒"}},
        {refuseWord.arg("FAIL"), {"甲", "丙"}, {"痛", "痒"}},
        {refuseWord.arg("ROLLBACK"), {"旧功效"}, {"旧主治"}},
        {"BEFORE DELETE ON 药材功效 BEGIN SELECT RAISE(ROLLBACK, '不许清空'); END", {"旧功效"}, {"旧主治"}},
    };
    for (const auto &[trigger, expectedEfficacy, expectedIndication] : cases) {
        setHerbs({{"甲，坏词，乙。", "痛。"}, {"丙。", "痒。"}});
        execute("DROP TRIGGER IF EXISTS refuse");
        execute("CREATE TRIGGER refuse " + trigger);
        sink.calls.clear();
        rebuild();
        EXPECT_EQ(efficacy(), expectedEfficacy) << trigger.toStdString();
        EXPECT_EQ(indication(), expectedIndication) << trigger.toStdString();
        EXPECT_EQ(sink.calls.last(), "unload") << trigger.toStdString();
    }
}

TEST_F(Rebuild, FailedCommitLeavesThePreviousDictionariesWhole)
{
    setHerbs({{"补气，养血。", "气虚。"}});
    {
        reliability::installFaultVfs();
        reliability::arm({1, reliability::FaultAction::FailOnward}); // a disk that fails every write
        rebuild();
        reliability::disarm();
        EXPECT_TRUE(reliability::faultHit());
    }
    EXPECT_EQ(efficacy(), QStringList({"旧功效"}));
    EXPECT_EQ(indication(), QStringList({"旧主治"}));
    EXPECT_EQ(sink.calls.last(), "unload");

    // The file is sound afterwards: the next rebuild goes through.
    rebuild();
    EXPECT_EQ(efficacy(), QStringList({"补气", "养血"}));
}

TEST_F(Rebuild, MissingDataFileShowsAndClosesTheWindowOnly)
{
    dict::BuildDictionaries(dir.filePath("没有.mdb"), sink);
    EXPECT_EQ(sink.calls, QStringList({"show", "percent:", "phase:", "value:0", "unload"}));
}
