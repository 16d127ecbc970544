// The clinic information screen driven through its controls against a real data file.
#include "access_fixture.h"
#include "startup/screens.h"

namespace {

QList<QStringList> onlyRow(const QString &unit, const QString &address, const QString &telephone, const QString &user)
{
    return {QStringList{unit, address, telephone, user}};
}

class ClinicScreen : public AccessTest {
protected:
    QWidget *showScreen()
    {
        startup::showScreen(QStringLiteral("FrmYhzl"));
        screen = openWindow(QStringLiteral("FrmYhzl"));
        EXPECT_NE(screen, nullptr);
        return screen;
    }

    QLineEdit *box(const char *name) { return control<QLineEdit>(screen, name); }

    void fill(const QString &unit, const QString &address, const QString &telephone, const QString &user)
    {
        box("TxtMzmc")->setText(unit);
        box("TxtMzdz")->setText(address);
        box("TxtTele")->setText(telephone);
        box("TxtYhxm")->setText(user);
    }

    void expectWarning(const QString &text, const char *boxName, int selected)
    {
        ASSERT_FALSE(recorder.messages.isEmpty());
        EXPECT_EQ(recorder.last().text, text);
        EXPECT_EQ(recorder.last().icon, ui::Icon::Exclamation);
        EXPECT_EQ(recorder.last().title, QString());
        EXPECT_EQ(screen->focusWidget(), box(boxName));
        EXPECT_EQ(box(boxName)->selectionStart(), 0);
        EXPECT_EQ(box(boxName)->selectedText(), box(boxName)->text().left(selected));
    }

    QWidget *screen = nullptr;
};

TEST_F(ClinicScreen, LoadsTheStoredRowOrEmptyBoxes)
{
    ASSERT_NE(showScreen(), nullptr);
    EXPECT_EQ(screen->windowTitle(), QStringLiteral("用户资料登录"));
    for (const char *name : {"TxtMzmc", "TxtMzdz", "TxtTele", "TxtYhxm"})
        EXPECT_TRUE(box(name)->text().isEmpty()) << name;
    EXPECT_EQ(box("TxtMzmc")->maxLength(), 35);
    EXPECT_EQ(box("TxtYhxm")->maxLength(), 10);
    delete screen;

    {
        ds::Database db = ds::openDataFile(dataFile);
        db.execute(QStringLiteral("INSERT INTO 用户资料 VALUES('澄川门诊部', NULL, '5550123', '王五')"));
    }
    ASSERT_NE(showScreen(), nullptr);
    EXPECT_EQ(box("TxtMzmc")->text(), QStringLiteral("澄川门诊部"));
    EXPECT_TRUE(box("TxtMzdz")->text().isEmpty());
    EXPECT_EQ(box("TxtTele")->text(), QStringLiteral("5550123"));
    EXPECT_EQ(box("TxtYhxm")->text(), QStringLiteral("王五"));
    EXPECT_TRUE(recorder.messages.isEmpty());
}

TEST_F(ClinicScreen, EnterChecksSayWhatEachBoxNeedsAndSpacesAreSwallowed)
{
    ASSERT_NE(showScreen(), nullptr);
    QTest::keyClicks(box("TxtMzmc"), QStringLiteral("a b c"));
    EXPECT_EQ(box("TxtMzmc")->text(), QStringLiteral("abc"));
    QTest::keyClick(box("TxtMzmc"), Qt::Key_Return);
    expectWarning(QStringLiteral("门诊名称至少要4个字"), "TxtMzmc", 4);
    box("TxtMzmc")->setText(QStringLiteral("澄川门诊"));
    QTest::keyClick(box("TxtMzmc"), Qt::Key_Return);
    EXPECT_EQ(screen->focusWidget(), box("TxtMzdz"));

    box("TxtMzdz")->setText(QStringLiteral("杏林路"));
    QTest::keyClick(box("TxtMzdz"), Qt::Key_Return);
    expectWarning(QStringLiteral("门诊地址至少要4个字"), "TxtMzdz", 4);
    box("TxtMzdz")->setText(QStringLiteral("杏林路八"));
    QTest::keyClick(box("TxtMzdz"), Qt::Key_Return);
    EXPECT_EQ(screen->focusWidget(), box("TxtTele"));

    box("TxtTele")->setText(QStringLiteral("555012"));
    QTest::keyClick(box("TxtTele"), Qt::Key_Return);
    expectWarning(QStringLiteral("电话号码至少要7位"), "TxtTele", 7);
    box("TxtTele")->setText(QStringLiteral("5550123"));
    QTest::keyClick(box("TxtTele"), Qt::Key_Return);
    EXPECT_EQ(screen->focusWidget(), box("TxtYhxm"));

    box("TxtYhxm")->setText(QStringLiteral("王"));
    QTest::keyClick(box("TxtYhxm"), Qt::Key_Return);
    expectWarning(QStringLiteral("用户姓名至少要2个字"), "TxtYhxm", 2);
    box("TxtYhxm")->setText(QStringLiteral("王五"));
    QTest::keyClick(box("TxtYhxm"), Qt::Key_Return);
    EXPECT_EQ(screen->focusWidget(), control<QPushButton>(screen, "CmdSave"));
    EXPECT_EQ(recorder.messages.size(), 4);
}

TEST_F(ClinicScreen, SaveChecksTrimmedLengthsInOrderSayingWhatEachBoxNeeds)
{
    ASSERT_NE(showScreen(), nullptr);
    fill(QStringLiteral(" 澄川门 "), QStringLiteral("杏林"), QStringLiteral("555"), QStringLiteral("王"));
    click(screen, QStringLiteral("CmdSave"));
    expectWarning(QStringLiteral("门诊名称至少要4个字"), "TxtMzmc", 4);
    EXPECT_EQ(box("TxtMzmc")->text(), QStringLiteral("澄川门"));

    box("TxtMzmc")->setText(QStringLiteral("澄川门诊"));
    click(screen, QStringLiteral("CmdSave"));
    expectWarning(QStringLiteral("门诊地址至少要4个字"), "TxtMzdz", 4);

    box("TxtMzdz")->setText(QStringLiteral("杏林路八"));
    box("TxtTele")->setText(QStringLiteral(" 555012 "));
    click(screen, QStringLiteral("CmdSave"));
    expectWarning(QStringLiteral("电话号码至少要7位"), "TxtTele", 7);

    box("TxtTele")->setText(QStringLiteral("5550123"));
    click(screen, QStringLiteral("CmdSave"));
    expectWarning(QStringLiteral("用户姓名至少要2个字"), "TxtYhxm", 2);

    EXPECT_EQ(recorder.messages.size(), 4);
    EXPECT_TRUE(rows(QStringLiteral("用户资料")).isEmpty());
}

TEST_F(ClinicScreen, NoKeepsEverythingAndYesStoresOneTrimmedRow)
{
    addClinic(QStringLiteral("旧门诊部"), QStringLiteral("旧地址一号"), QStringLiteral("5550000"), QStringLiteral("旧人"));
    ASSERT_NE(showScreen(), nullptr);
    fill(QStringLiteral(" 澄川门诊 "), QStringLiteral("杏林路八号"), QStringLiteral("5550123"), QStringLiteral(" 王五"));

    recorder.answerNext(ui::Answer::No);
    click(screen, QStringLiteral("CmdSave"));
    ASSERT_EQ(recorder.texts(), QStringList{QStringLiteral("保存或修改已经输入的内容吗")});
    EXPECT_EQ(recorder.last().icon, ui::Icon::Question);
    EXPECT_EQ(recorder.last().buttons, ui::Buttons::YesNo);
    EXPECT_TRUE(screen->isVisible());
    EXPECT_EQ(rows(QStringLiteral("用户资料")),
              onlyRow(QStringLiteral("旧门诊部"), QStringLiteral("旧地址一号"), QStringLiteral("5550000"),
                                  QStringLiteral("旧人")));

    recorder.answerNext(ui::Answer::Yes);
    click(screen, QStringLiteral("CmdSave"));
    EXPECT_EQ(recorder.messages.size(), 2);
    EXPECT_EQ(rows(QStringLiteral("用户资料")),
              onlyRow(QStringLiteral("澄川门诊"), QStringLiteral("杏林路八号"), QStringLiteral("5550123"),
                                  QStringLiteral("王五")));
    EXPECT_EQ(openWindow(QStringLiteral("FrmYhzl")), nullptr);
}

TEST_F(ClinicScreen, QuotesAreStoredAsTypedAndAFailedInsertKeepsTheOldRow)
{
    addClinic(QStringLiteral("旧门诊部"), QStringLiteral("旧地址一号"), QStringLiteral("5550000"), QStringLiteral("旧人"));
    refuseInsertsInto(QStringLiteral("用户资料"));
    ASSERT_NE(showScreen(), nullptr);
    fill(QStringLiteral("O'Brien's"), QStringLiteral("');DELETE"), QStringLiteral("'or'1'='1"), QStringLiteral("王'五"));
    click(screen, QStringLiteral("CmdSave"));
    ASSERT_EQ(recorder.messages.size(), 2);
    EXPECT_TRUE(recorder.last().text.startsWith(QStringLiteral("错误号码：")));
    EXPECT_TRUE(recorder.last().text.contains(QStringLiteral("\r\n错误内容：")));
    EXPECT_EQ(recorder.last().icon, ui::Icon::Exclamation);
    EXPECT_TRUE(screen->isVisible());
    const QList<QStringList> kept = rows(QStringLiteral("用户资料"));
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(kept[0][0], QStringLiteral("旧门诊部"));

    {
        ds::Database db = ds::openDataFile(dataFile);
        db.execute(QStringLiteral("DROP TRIGGER refuse_insert"));
    }
    click(screen, QStringLiteral("CmdSave"));
    EXPECT_EQ(rows(QStringLiteral("用户资料")),
              onlyRow(QStringLiteral("O'Brien's"), QStringLiteral("');DELETE"), QStringLiteral("'or'1'='1"),
                                  QStringLiteral("王'五")));
}

TEST_F(ClinicScreen, FrameCannotCloseTheScreen)
{
    ASSERT_NE(showScreen(), nullptr);
    screen->close();
    EXPECT_TRUE(screen->isVisible());
}

} // namespace
