#include "datastore/data_file.h"
#include "datastore/errors.h"
#include "datastore/jet_like.h"
#include "datastore/pinyin_collation.h"
#include "datastore/sql_text.h"
#include "datastore/statement.h"
#include "datastore/text_trim.h"
#include "temp_data.h"

#include <QRandomGenerator>

#include <unicode/uchar.h>

#include <algorithm>

#include <gtest/gtest.h>

namespace {

bool like(const QString &text, const QString &pattern)
{
    const QByteArray t = text.toUtf8();
    const QByteArray p = pattern.toUtf8();
    return ds::jetLike({t.constData(), size_t(t.size())}, {p.constData(), size_t(p.size())});
}

} // namespace

TEST(JetLike, Wildcards)
{
    EXPECT_TRUE(like("人参。", "*人参*"));
    EXPECT_TRUE(like("红人参", "*人参*"));
    EXPECT_FALSE(like("党参", "*人参*"));
    EXPECT_TRUE(like("", "**"));
    EXPECT_TRUE(like("人参", "人?"));
    EXPECT_FALSE(like("人参。", "人?"));
    EXPECT_TRUE(like("3克", "#克"));
    EXPECT_FALSE(like("三克", "#克"));
    EXPECT_TRUE(like("b2", "[a-c]#"));
    EXPECT_FALSE(like("d2", "[a-c]#"));
    EXPECT_TRUE(like("d2", "[!a-c]#"));
    EXPECT_TRUE(like("甘", "[甘苦]"));
    EXPECT_TRUE(like("*", "[*]"));
    EXPECT_FALSE(like("x", "[*]"));
    EXPECT_TRUE(like("a[b", "a[b")); // an unclosed list stands for itself
    EXPECT_TRUE(like("ABC", "abc"));
    EXPECT_TRUE(like("50%_x", "50%_x")); // % and _ are plain characters here
    EXPECT_FALSE(like("500x", "50%_x"));
}

TEST(JetLike, BacktrackingStaysCheapOnHostilePatterns)
{
    const QString text(5000, QLatin1Char('a'));
    EXPECT_FALSE(like(text, QString("*a").repeated(40) + "b"));
}

// The byte search before the matcher may only use characters no other character folds to:
// checked against every character's folding, and each folding pair must still match through
// the whole matcher, whichever side of it the text holds.
TEST(JetLike, QuickRejectNeverRefusesATextTheMatcherTakes)
{
    int pairs = 0;
    for (UChar32 c = 0; c <= 0x10FFFF; ++c) {
        const UChar32 folded = u_foldCase(c, U_FOLD_CASE_DEFAULT);
        if (ds::foldsOnlyFromItself(c)) {
            ASSERT_EQ(folded, c) << std::hex << c;
        }
        if (folded == c || U_IS_SURROGATE(c))
            continue;
        ASSERT_FALSE(ds::foldsOnlyFromItself(folded)) << std::hex << c << " folds to " << folded;
        ++pairs;
        const QString variant = QString::fromUcs4(reinterpret_cast<const char32_t *>(&c), 1);
        const QString target = QString::fromUcs4(reinterpret_cast<const char32_t *>(&folded), 1);
        ASSERT_TRUE(like("人参" + variant + "汤", "*参" + target + "汤*")) << std::hex << c;
        ASSERT_TRUE(like("人参" + target + "汤", "*参" + variant + "汤*")) << std::hex << c;
    }
    EXPECT_GT(pairs, 1000);
    EXPECT_TRUE(ds::foldsOnlyFromItself(U'参'));
    EXPECT_FALSE(ds::foldsOnlyFromItself(U'k')); // the Kelvin sign folds to it
    // A broken byte reads as U+FFFD, which no byte search can find.
    const std::string broken = "人\xff参";
    EXPECT_TRUE(ds::jetLike(broken, "*人\uFFFD参*"));
    EXPECT_FALSE(ds::jetLike(broken, "*人参汤*"));
    EXPECT_TRUE(like("当归尾", "*归[尾头]")); // the run before a list, the text beyond it
    EXPECT_FALSE(like("当归身", "*归[尾头]"));
}

TEST(JetLike, RunsInsideStatementsAndNullNeverMatches)
{
    TempHome home;
    ds::Database db = ds::openDataFile(copySeedTo(home.file("ccyc.mdb")));
    db.execute("INSERT INTO 中医药材 (名称) VALUES ('红人参')");
    const ds::Dynaset found = db.openDynaset(
        "SELECT * FROM 中医药材 WHERE 名称 like '*人参*' and 用法 like '**' and 归经 like '**' and 性味 like '**' "
        "and 功效 like '**' and 心得 like '**' and 主治 like '**'");
    ASSERT_EQ(found.recordCount(), 1); // 红人参 has Null texts, so only 人参。 is found
    EXPECT_EQ(found.text(0), "人参。");
    EXPECT_EQ(db.openDynaset("SELECT * FROM 中医药材 WHERE 名称 like '*人参*'").recordCount(), 2);
    EXPECT_EQ(db.openDynaset("SELECT * FROM 中医药材 WHERE 名称 like '*" + ds::sqlEscape("参'") + "*'").recordCount(), 0);
}

TEST(JetLike, EscapeCharacterMakesTheNextOneStandForItself)
{
    TempHome home;
    ds::Database db = ds::openDataFile(copySeedTo(home.file("ccyc.mdb")));
    const auto matches = [&db](const char *text, const char *pattern, const char *escape) {
        ds::Statement like(db.handle(), "SELECT ?1 LIKE ?2 ESCAPE ?3");
        like.bind(1, QString::fromUtf8(text));
        like.bind(2, QString::fromUtf8(pattern));
        like.bind(3, QString::fromUtf8(escape));
        like.step();
        return like.integer(0) == 1;
    };
    const struct {
        const char *text;
        const char *pattern;
        const char *escape;
        bool matches;
    } cases[] = {
        {"5*3", "5!*3", "!", true},      {"5x3", "5!*3", "!", false},  {"a?", "a!?", "!", true},
        {"ab", "a!?", "!", false},      {"#1", "!##", "!", true},     {"11", "!##", "!", false},
        {"[a]", "![a]", "!", true},     {"a", "!!", "!", false},      {"!", "!!", "!", true},
        {"人参*", "*参、*", "、", true}, {"人参", "*参、*", "、", false}, {"A*", "a/*", "/", true},
        {"5*3", "5!*3", "/", false}, // another escape leaves "!" an ordinary character
        {"a!", "a!", "!", false}, // an escape with nothing after it matches nothing
        {"xyz", "x*", "X", true},    {"X*", "X*", "x", true}, // the escape is not case-folded
    };
    for (const auto &[text, pattern, escape, expected] : cases)
        EXPECT_EQ(matches(text, pattern, escape), expected) << text << " like " << pattern << " escape " << escape;
    // Not one character: refused, as the engine's own like() refuses it.
    EXPECT_THROW(matches("a", "a", "!!"), ds::RunError);
    EXPECT_THROW(matches("a", "a", ""), ds::RunError);
}

TEST(JetLike, PatternKeptForAStatementNeverAnswersForAnother)
{
    // A pattern compiled once per statement: a pattern that changes from row to row, and two
    // patterns in one statement, must each be matched as they are.
    TempHome home;
    ds::Database db = ds::openDataFile(copySeedTo(home.file("ccyc.mdb")));
    const auto count = [&db](const QString &where) {
        return db.openDynaset("SELECT count(*) FROM (SELECT '人参' AS name, '*人*' AS pattern UNION ALL "
                              "SELECT '党参', '*党*' UNION ALL SELECT '黄芪', '*人*') WHERE " + where)
            .field(0)
            .toInt();
    };
    EXPECT_EQ(count("name like pattern"), 2);
    EXPECT_EQ(count("name like '*参' and pattern like '[*]人*'"), 1);
    EXPECT_EQ(count("name like '*参' or name like '黄?'"), 3);
    // One pattern, an escape character that changes from row to row.
    EXPECT_EQ(db.openDynaset("SELECT count(*) FROM (SELECT 'a*' AS name, '!' AS esc UNION ALL SELECT 'a!b', '/') "
                             "WHERE name like 'a!*' ESCAPE esc")
                  .field(0)
                  .toInt(),
              2);
}

namespace {

// Every text of the shipped herb table and its dictionaries.
std::vector<std::string> shippedTexts()
{
    TempHome home;
    ds::Database db = ds::openDataFile(copySeedTo(home.file("ccyc.mdb")));
    std::vector<std::string> texts;
    for (const char *sql : {"SELECT 名称, 归经, 性味, 功效, 主治, 用法, 宜忌, 心得 FROM 中医药材",
                            "SELECT 药材功效 FROM 药材功效", "SELECT 药材主治 FROM 药材主治"}) {
        ds::Statement rows(db.handle(), sql);
        while (rows.step()) {
            for (int column = 0; column < rows.columnCount(); ++column)
                texts.push_back(rows.value(column).toString().toStdString());
        }
    }
    return texts;
}

// Texts made of the characters that make the collator work hardest: near-identical names,
// Latin letters of every case and accent, combining marks, compatibility ideographs, full-width
// forms, joiners, characters beyond the first plane and broken bytes.
std::vector<std::string> generatedTexts(const std::vector<std::string> &shipped)
{
    QString pool = QStringLiteral("人参党黄芪甘草当归白术地黄熟生川芎赤芍药行重长乐音aAbBzZéÉèñÑßẞǅǄǆıİiI0123456789 ,.-·、，。（）ＡＢａ");
    for (char32_t c : {U'\u0301', U'\u0308', U'\u0327', U'\uF900', U'\u8C48', U'\u200B', U'\u200C', U'\u3000',
                       U'\U00020000', U'\U0002A6D6', U'\u00B7', U'\u0E40', U'\u0E01', U'\u1100', U'\u1161', U'\uAC00'})
        pool += QString::fromUcs4(&c, 1);
    const QList<uint> characters = pool.toUcs4();
    QRandomGenerator random(17);
    std::vector<std::string> texts;
    for (int i = 0; i < 20000; ++i) {
        // Half start from a shipped text, so that pairs share long beginnings.
        std::string text = random.bounded(2) ? shipped[random.bounded(int(shipped.size()))].substr(0, random.bounded(12)) : "";
        for (int length = random.bounded(6); length > 0; --length) {
            const char32_t c = characters[random.bounded(int(characters.size()))];
            text += QString::fromUcs4(&c, 1).toStdString();
        }
        if (random.bounded(50) == 0)
            text.insert(random.bounded(int(text.size()) + 1), "\xe4\xba"); // a character cut short
        texts.push_back(text);
    }
    return texts;
}

} // namespace

// The pinyin order found from kept weights is exactly the collator's, texts it calls equal
// ordered by their bytes: the same sort and the same answer for each neighbouring pair.
TEST(PinyinOrder, KeptWeightsGiveTheCollatorsOrder)
{
    const std::vector<std::string> shipped = shippedTexts();
    ASSERT_GT(shipped.size(), 1000u);
    for (std::vector<std::string> texts : {shipped, generatedTexts(shipped)}) {
        std::vector<std::string> byCollator = texts;
        std::sort(byCollator.begin(), byCollator.end(),
                  [](const std::string &a, const std::string &b) { return ds::comparePinyinByCollator(a, b) < 0; });
        std::sort(texts.begin(), texts.end(),
                  [](const std::string &a, const std::string &b) { return ds::comparePinyin(a, b) < 0; });
        ASSERT_EQ(texts, byCollator);
        for (size_t i = 1; i < texts.size(); ++i) {
            ASSERT_EQ(ds::comparePinyin(texts[i - 1], texts[i]), ds::comparePinyinByCollator(texts[i - 1], texts[i]));
            ASSERT_EQ(ds::comparePinyin(texts[i], texts[i - 1]), ds::comparePinyinByCollator(texts[i], texts[i - 1]));
        }
    }
}

TEST(PinyinOrder, OrderByFollowsPinyinWhateverTheInsertionOrder)
{
    TempHome home;
    ds::Database db = ds::openDataFile(copySeedTo(home.file("ccyc.mdb")));
    db.execute("DELETE * FROM 中医药材");
    for (const char *name : {"人参", "甘草", "当归", "白术"})
        db.execute(QStringLiteral("INSERT INTO 中医药材 (名称) VALUES ('%1')").arg(QString::fromUtf8(name)));
    ds::Dynaset ordered = db.openDynaset("select distinct 名称 FROM 中医药材 order by 名称");
    QStringList names;
    for (; !ordered.eof(); ordered.moveNext())
        names.append(ordered.text(0));
    EXPECT_EQ(names, QStringList({"白术", "当归", "甘草", "人参"}));
}

TEST(PinyinOrder, BlankFirstAndOnlyIdenticalTextsEqual)
{
    EXPECT_LT(ds::comparePinyin(" ", "白术"), 0);
    EXPECT_EQ(ds::comparePinyin("人参", "人参"), 0);
    EXPECT_NE(ds::comparePinyin("ＡＢ", "AB"), 0);
    TempHome home;
    ds::Database db = ds::openDataFile(copySeedTo(home.file("ccyc.mdb")));
    db.execute("DELETE * FROM 药材功效");
    for (const char *word : {"补气", "安神", "补气", "ＡＢ", "AB"})
        db.execute(QStringLiteral("INSERT INTO 药材功效 Values('%1')").arg(QString::fromUtf8(word)));
    EXPECT_EQ(db.openDynaset("select DISTINCT * FROM 药材功效 order by 药材功效").recordCount(), 4);
}

// Texts the collator calls equal (a compatibility ideograph and its unified twin; invisible
// joiners) are still different texts: DISTINCT keeps both and "=" finds only the one asked for.
TEST(PinyinOrder, TextsTheCollatorCallsEqualStayApart)
{
    TempHome home;
    ds::Database db = ds::openDataFile(copySeedTo(home.file("ccyc.mdb")));
    const QList<QStringList> twins = {{QString(QChar(0x8C48)), QString(QChar(0xF900))},
                                      {QStringLiteral("人参") + QChar(0x200B), QStringLiteral("人参") + QChar(0x200C)}};
    for (const QStringList &pair : twins) {
        SCOPED_TRACE(pair.join(QLatin1Char('|')).toStdString());
        EXPECT_NE(ds::comparePinyin(pair[0].toStdString(), pair[1].toStdString()), 0);
        db.execute("DELETE * FROM 药材功效");
        for (const QString &word : pair)
            db.execute("INSERT INTO 药材功效 VALUES (?1)", {word});
        EXPECT_EQ(db.openDynaset("SELECT DISTINCT 药材功效 FROM 药材功效").recordCount(), 2);
        for (const QString &word : pair) {
            ds::Dynaset found = db.openDynaset("SELECT 药材功效 FROM 药材功效 WHERE 药材功效 = " + ds::sqlQuoted(word));
            ASSERT_EQ(found.recordCount(), 1);
            EXPECT_EQ(found.text(0), word);
        }
    }
}

TEST(SqlText, EscapingAndDialect)
{
    EXPECT_EQ(ds::sqlEscape("it's"), "it''s");
    EXPECT_EQ(ds::sqlQuoted("'"), "''''");
    EXPECT_EQ(ds::toEngineDialect("DELETE * FROM 密码表"), "DELETE FROM 密码表");
    EXPECT_EQ(ds::toEngineDialect("delete  *  from t"), "delete from t");
    EXPECT_EQ(ds::toEngineDialect("SELECT * FROM t"), "SELECT * FROM t");
    EXPECT_EQ(ds::passwordFromConnect(";pwd=QxPlRvTnWkBsYmHd7254"), "QxPlRvTnWkBsYmHd7254");
    EXPECT_EQ(ds::passwordFromConnect("Access 2000;pwd=abc;"), "abc");
}

// A value comes back as it went in, bound or quoted into the text: a leading byte order mark
// stays, a NUL does not end the statement, and half a surrogate pair is U+FFFD both ways.
TEST(SqlText, ValuesComeBackWhole)
{
    TempHome home;
    ds::Database db = ds::openDataFile(copySeedTo(home.file("ccyc.mdb")));
    const QChar high(0xD800);
    const QList<std::pair<QString, QString>> cases = {
        {QChar(0xFEFF) + QStringLiteral("人参"), QChar(0xFEFF) + QStringLiteral("人参")},
        {QStringLiteral("甘") + QChar(0) + QStringLiteral("'草"), QStringLiteral("甘") + QChar(0) + QStringLiteral("'草")},
        {QStringLiteral("甘") + high, QStringLiteral("甘") + QChar(QChar::ReplacementCharacter)},
    };
    for (const auto &[value, stored] : cases) {
        db.execute("DELETE * FROM 药材功效");
        db.execute("INSERT INTO 药材功效 VALUES (?1)", {value});
        db.execute("INSERT INTO 药材功效 VALUES (" + ds::sqlQuoted(value) + ")");
        ds::Dynaset rows = db.openDynaset("SELECT 药材功效 FROM 药材功效 WHERE 药材功效 = " + ds::sqlQuoted(value));
        ASSERT_EQ(rows.recordCount(), 2) << rows.recordCount();
        for (rows.moveFirst(); !rows.eof(); rows.moveNext())
            EXPECT_EQ(rows.text(0), stored);
    }
}

TEST(TrimSpaces, OnlyAsciiSpacesAtTheEdges)
{
    EXPECT_EQ(ds::trimSpaces("  人参  "), "人参");
    EXPECT_EQ(ds::trimSpaces("   "), "");
    EXPECT_EQ(ds::trimSpaces("\u3000人参\u3000"), "\u3000人参\u3000");
    EXPECT_EQ(ds::trimSpaces(" \r\n甘 苦\t "), "\r\n甘 苦\t");
}
