// The rules of the subsystem on a real data file, without windows.
#include "access/clinic_record.h"
#include "access/login_check.h"
#include "access/password_hash.h"
#include "access/password_record.h"
#include "datastore/data_file.h"
#include "datastore/errors.h"
#include "datastore/sql_text.h"
#include "temp_data.h"

#include <gtest/gtest.h>

namespace {

class AccessLogic : public ::testing::Test {
protected:
    void store(const QString &name, const QString &password)
    {
        users::savePassword(db, name, password);
    }

    TempHome home;
    QString path = copySeedTo(home.file("ccyc.mdb"));
    ds::Database db = ds::openDataFile(path);
};

TEST(PasswordHash, StoresNoClearTextAndVerifiesOnlyTheSamePassword)
{
    const QString stored = users::hashPassword(QStringLiteral("密码abcd"));
    EXPECT_FALSE(stored.contains(QStringLiteral("密码abcd")));
    EXPECT_TRUE(stored.startsWith(QStringLiteral("pbkdf2-sha256$")));
    EXPECT_GE(stored.section(QLatin1Char('$'), 1, 1).toInt(), 100000);
    EXPECT_TRUE(users::verifyPassword(QStringLiteral("密码abcd"), stored));
    EXPECT_FALSE(users::verifyPassword(QStringLiteral("密码abce"), stored));
    EXPECT_FALSE(users::verifyPassword(QString(), stored));

    // A fresh salt every time: the same password never gives the same text twice.
    EXPECT_NE(users::hashPassword(QStringLiteral("密码abcd")), stored);
}

TEST(PasswordHash, TextsNotMadeByTheHashNeverVerify)
{
    // A password kept in clear, a damaged row and a tampered cost are all refused.
    EXPECT_FALSE(users::verifyPassword(QStringLiteral("abcd"), QStringLiteral("abcd")));
    EXPECT_FALSE(users::verifyPassword(QString(), QString()));
    const QString stored = users::hashPassword(QStringLiteral("abcd"), 1000);
    QStringList parts = stored.split(QLatin1Char('$'));
    EXPECT_TRUE(users::verifyPassword(QStringLiteral("abcd"), stored));
    parts[1] = QStringLiteral("1001");
    EXPECT_FALSE(users::verifyPassword(QStringLiteral("abcd"), parts.join(QLatin1Char('$'))));
    parts[1] = QStringLiteral("999999999");
    EXPECT_FALSE(users::verifyPassword(QStringLiteral("abcd"), parts.join(QLatin1Char('$'))));
    EXPECT_FALSE(users::verifyPassword(QStringLiteral("abcd"), stored.chopped(4)));
    EXPECT_FALSE(users::verifyPassword(QStringLiteral("abcd"), stored + QStringLiteral("$x")));
}

TEST_F(AccessLogic, SaveReplacesTheTableWithOneHashedRowOfLevelOne)
{
    store(QStringLiteral("张医生"), QStringLiteral("abcd1234"));
    store(QStringLiteral("李医生"), QStringLiteral("wxyz9876"));
    ds::Dynaset rows = db.openDynaset(QStringLiteral("SELECT * FROM 密码表"));
    ASSERT_EQ(rows.recordCount(), 1);
    EXPECT_EQ(rows.text(0), QStringLiteral("李医生"));
    EXPECT_NE(rows.text(1), QStringLiteral("wxyz9876"));
    EXPECT_TRUE(users::verifyPassword(QStringLiteral("wxyz9876"), rows.text(1)));
    EXPECT_EQ(rows.text(2), QStringLiteral("1"));
    EXPECT_EQ(users::passwordTableNames(db), QStringList{QStringLiteral("李医生")});
}

TEST_F(AccessLogic, LoginCheckFindsOnlyTheRightPairAndLeavesNoQueryBehind)
{
    store(QStringLiteral("张医生"), QStringLiteral("abcd1234"));

    users::PasswordCheck check = users::seekPassword(db, QStringLiteral(" 张医生 "), QStringLiteral(" abcd1234 "));
    EXPECT_TRUE(check.matched);
    EXPECT_EQ(check.level, QStringLiteral("1"));
    EXPECT_FALSE(db.queryNames().contains(QStringLiteral("yhmm")));

    EXPECT_FALSE(users::seekPassword(db, QStringLiteral("张医生"), QStringLiteral("abcd1235")).matched);
    EXPECT_FALSE(users::seekPassword(db, QStringLiteral("李医生"), QStringLiteral("abcd1234")).matched);
    EXPECT_FALSE(db.queryNames().contains(QStringLiteral("yhmm")));
}

TEST_F(AccessLogic, APasswordKeptInClearLogsInOnceAndIsThenStoredHashed)
{
    db.execute(QStringLiteral("INSERT INTO 密码表 VALUES ('张医生', 'abcd1234  ', '1')"));
    db.execute(QStringLiteral("INSERT INTO 密码表 VALUES ('李医生', 'pbkdf2-sha256$damaged', '1')"));
    const auto storedFor = [this](const QString &name) {
        return db.openDynaset(QStringLiteral("SELECT 密码 FROM 密码表 WHERE 姓名 = ") + ds::sqlQuoted(name)).text(0);
    };
    EXPECT_FALSE(users::seekPassword(db, QStringLiteral("张医生"), QStringLiteral("abcd1235")).matched);
    EXPECT_EQ(storedFor(QStringLiteral("张医生")), QStringLiteral("abcd1234  ")); // a wrong guess changes nothing

    const users::PasswordCheck check = users::seekPassword(db, QStringLiteral("张医生"), QStringLiteral("abcd1234"));
    EXPECT_TRUE(check.matched);
    EXPECT_EQ(check.level, QStringLiteral("1"));
    const QString hashed = storedFor(QStringLiteral("张医生"));
    EXPECT_TRUE(users::isPasswordHash(hashed));
    EXPECT_TRUE(users::verifyPassword(QStringLiteral("abcd1234"), hashed));
    EXPECT_TRUE(users::seekPassword(db, QStringLiteral("张医生"), QStringLiteral("abcd1234")).matched);
    EXPECT_FALSE(db.queryNames().contains(QStringLiteral("yhmm")));

    // A damaged hash is no clear password: typing its text does not get in.
    EXPECT_FALSE(users::seekPassword(db, QStringLiteral("李医生"), QStringLiteral("pbkdf2-sha256$damaged")).matched);
    EXPECT_FALSE(users::matchesClearPassword(QString(), QStringLiteral("   ")));
}

TEST_F(AccessLogic, CraftedNamesAndPasswordsNeitherBreakNorPassTheCheck)
{
    store(QStringLiteral("张医生"), QStringLiteral("abcd1234"));
    const QStringList crafted{QStringLiteral("'or'1'='1"), QStringLiteral("' or 1=1 --"),
                              QStringLiteral("张医生' --"), QStringLiteral("x'; DELETE FROM 密码表; --"),
                              QStringLiteral("*"), QStringLiteral("%")};
    for (const QString &name : crafted) {
        for (const QString &password : crafted) {
            EXPECT_FALSE(users::seekPassword(db, name, password).matched) << name.toStdString();
            EXPECT_FALSE(users::seekPassword(db, QStringLiteral("张医生"), password).matched);
        }
    }
    EXPECT_EQ(users::passwordQueryText(QStringLiteral("a'b")), QStringLiteral("SELECT * FROM 密码表 WHERE 姓名= 'a''b'"));
    EXPECT_EQ(db.openDynaset(QStringLiteral("SELECT * FROM 密码表")).recordCount(), 1);
    EXPECT_FALSE(db.queryNames().contains(QStringLiteral("yhmm")));

    // A name with quotes is stored and found as typed.
    store(QStringLiteral("O'Neil"), QStringLiteral("it's-me"));
    EXPECT_TRUE(users::seekPassword(db, QStringLiteral("O'Neil"), QStringLiteral("it's-me")).matched);
}

TEST_F(AccessLogic, FailedInsertKeepsTheOldRows)
{
    store(QStringLiteral("张医生"), QStringLiteral("abcd1234"));
    users::saveClinic(db, users::ClinicInfo{{QStringLiteral("澄川门诊部"), QStringLiteral("澄川市一路"),
                                             QStringLiteral("5550123"), QStringLiteral("王医生")}});
    db.execute(QStringLiteral("CREATE TRIGGER no_users BEFORE INSERT ON 密码表 BEGIN SELECT RAISE(ABORT, 'x'); END"));
    db.execute(QStringLiteral("CREATE TRIGGER no_clinic BEFORE INSERT ON 用户资料 BEGIN SELECT RAISE(ABORT, 'x'); END"));

    EXPECT_THROW(store(QStringLiteral("李医生"), QStringLiteral("wxyz9876")), ds::RunError);
    EXPECT_THROW(users::saveClinic(db, users::ClinicInfo{{QStringLiteral("新门诊部"), QStringLiteral("新地址一号"),
                                                          QStringLiteral("5559999"), QStringLiteral("新人")}}),
                 ds::RunError);

    const QStringList names = users::seekUserNames(db);
    EXPECT_EQ(names, QStringList{QStringLiteral("张医生")});
    EXPECT_TRUE(users::seekPassword(db, QStringLiteral("张医生"), QStringLiteral("abcd1234")).matched);
    const std::optional<users::ClinicInfo> clinic = users::loadClinic(db);
    ASSERT_TRUE(clinic.has_value());
    EXPECT_EQ((*clinic)[users::ClinicField::Name], QStringLiteral("澄川门诊部"));
}

TEST_F(AccessLogic, ExitCheckCountsRowsAndTakesAnUnreadableFileForEmpty)
{
    EXPECT_FALSE(users::passwordTableHasRows(db));
    store(QStringLiteral("张医生"), QStringLiteral("abcd1234"));
    EXPECT_TRUE(users::passwordTableHasRows(db));
    EXPECT_EQ(db.queryText(QStringLiteral("000")), QStringLiteral("select count(*) FROM 密码表"));
    db.close();
    EXPECT_TRUE(users::passwordTableHasRows(path));
    EXPECT_FALSE(users::passwordTableHasRows(home.file("no-such-file.mdb")));
}

TEST(LoginAttempts, ThreeCountedAttemptsThenEveryPairIsRefused)
{
    EXPECT_TRUE(users::isTooShortForLogin(QStringLiteral("abc")));
    EXPECT_TRUE(users::isTooShortForLogin(QStringLiteral("中文字")));
    EXPECT_FALSE(users::isTooShortForLogin(QStringLiteral("abcd")));

    users::LoginAttempts attempts;
    for (int i = 1; i <= 3; ++i) {
        attempts.count();
        EXPECT_EQ(attempts.outcome(false), users::LoginOutcome::Retry);
        EXPECT_EQ(attempts.outcome(true), users::LoginOutcome::Succeeded);
    }
    attempts.count();
    EXPECT_EQ(attempts.outcome(false), users::LoginOutcome::Refused);
    EXPECT_EQ(attempts.outcome(true), users::LoginOutcome::Refused);
}

TEST(PasswordInputCheck, ChecksRunInOrderAndTheFirstFailureWins)
{
    using users::PasswordRefusal;
    auto check = [](const char16_t *name, const char16_t *first, const char16_t *second) {
        return users::checkPasswordInput(
            users::PasswordInput{QString::fromUtf16(name), QString::fromUtf16(first), QString::fromUtf16(second)}.trimmed());
    };
    EXPECT_EQ(check(u" 张 ", u"ab", u"xy"), PasswordRefusal::ShortName);
    EXPECT_EQ(check(u"张三", u"abc", u"x"), PasswordRefusal::ShortNewPassword);
    EXPECT_EQ(check(u"张三", u" abcd ", u"abc"), PasswordRefusal::ShortConfirmation);
    EXPECT_EQ(check(u"张三", u"abcd", u"abce"), PasswordRefusal::Mismatch);
    EXPECT_EQ(check(u"张三", u" abcd", u"abcd "), PasswordRefusal::None);
    EXPECT_EQ(users::refusalMessage(PasswordRefusal::ShortConfirmation),
              users::refusalMessage(PasswordRefusal::ShortNewPassword));
}

TEST(ClinicChecks, ShortestLengthsCountCharactersAfterTrimming)
{
    using users::ClinicField;
    users::ClinicInfo info{{QStringLiteral("澄川门诊"), QStringLiteral("杏林路一"), QStringLiteral("5550123"),
                            QStringLiteral("王五")}};
    EXPECT_EQ(users::firstShortField(info), std::nullopt);
    info[ClinicField::Telephone] = QStringLiteral("555012");
    info[ClinicField::User] = QStringLiteral("王");
    EXPECT_EQ(users::firstShortField(info), ClinicField::Telephone);
    info[ClinicField::Name] = QStringLiteral(" 澄川门 ");
    EXPECT_EQ(users::firstShortField(info.trimmed()), ClinicField::Name);
    EXPECT_TRUE(users::enterMovesOn(ClinicField::Name, QStringLiteral(" 澄川门 ")));

    users::ClinicInfo quoted{{QStringLiteral("O'Brien"), QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}};
    EXPECT_EQ(users::clinicInsertText(quoted), QStringLiteral("INSERT INTO 用户资料 VALUES('O''Brien','a','b','c')"));
}

} // namespace
