// The login form driven through its controls against a real data file.
#include "access/frmlogin.h"
#include "access_fixture.h"
#include "startup/screens.h"

namespace {

class Login : public AccessTest {
protected:
    Login()
    {
        addUser(QStringLiteral("张医生"), QStringLiteral("abcd1234"));
    }

    users::FrmLogin *showLogin()
    {
        startup::showScreen(QStringLiteral("frmLogin"));
        auto *login = qobject_cast<users::FrmLogin *>(openWindow(QStringLiteral("frmLogin")));
        EXPECT_NE(login, nullptr);
        // Kept after it closes, so its state can still be read; the fixture removes it.
        if (login)
            login->setAttribute(Qt::WA_DeleteOnClose, false);
        return login;
    }

    void attempt(QWidget *login, const QString &name, const QString &password)
    {
        control<QComboBox>(login, "Cboyhmc")->setEditText(name);
        control<QLineEdit>(login, "Txtpass")->setText(password);
        click(login, QStringLiteral("cmdOK"));
    }

    void expectLoginMessage(const ui::Message &message, const QString &text, ui::Icon icon)
    {
        EXPECT_EQ(message.text, text);
        EXPECT_EQ(message.icon, icon);
        EXPECT_EQ(message.title, QStringLiteral("登录"));
    }
};

TEST_F(Login, NameListComesFromThePasswordTableInQueryOrder)
{
    // Two rows, as a file kept by an older copy might hold; the list shows both, unsorted.
    {
        ds::Database db = ds::openDataFile(dataFile);
        db.execute(QStringLiteral("INSERT INTO 密码表 VALUES('阿医生', 'x', '1')"));
    }
    users::FrmLogin *login = showLogin();
    ASSERT_NE(login, nullptr);
    EXPECT_EQ(login->windowTitle(), QStringLiteral("系统用户登录"));
    QComboBox *names = control<QComboBox>(login, "Cboyhmc");
    ASSERT_EQ(names->count(), 2);
    EXPECT_EQ(names->itemText(0), QStringLiteral("张医生"));
    EXPECT_EQ(names->itemText(1), QStringLiteral("阿医生"));
    EXPECT_TRUE(names->currentText().isEmpty());
    EXPECT_TRUE(control<QLineEdit>(login, "Txtpass")->text().isEmpty());
    EXPECT_EQ(control<QLineEdit>(login, "Txtpass")->maxLength(), 30);
}

TEST_F(Login, KeysMoveAlongOnlyWithTheRightInput)
{
    users::FrmLogin *login = showLogin();
    ASSERT_NE(login, nullptr);
    QComboBox *name = control<QComboBox>(login, "Cboyhmc");
    QLineEdit *password = control<QLineEdit>(login, "Txtpass");

    name->setFocus();
    QTest::keyClick(name, Qt::Key_Return); // empty name: the focus stays
    EXPECT_NE(login->focusWidget(), password);

    name->setEditText(QStringLiteral("张医生"));
    password->setText(QStringLiteral("ab"));
    QTest::keyClick(name, Qt::Key_Return);
    EXPECT_EQ(login->focusWidget(), password);
    EXPECT_EQ(password->selectedText(), QStringLiteral("ab"));

    password->clear();
    QTest::keyClicks(password, QStringLiteral("a b c"));
    EXPECT_EQ(password->text(), QStringLiteral("abc"));
    QTest::keyClick(password, Qt::Key_Return);
    ASSERT_EQ(recorder.texts(), QStringList{QStringLiteral("请输入四位字符以上密码")});
    EXPECT_EQ(recorder.last().icon, ui::Icon::Information);
    EXPECT_EQ(recorder.last().title, QString());
    EXPECT_EQ(password->selectionStart(), 0);
    EXPECT_EQ(password->selectedText(), QStringLiteral("abc"));
    EXPECT_EQ(password->text(), QStringLiteral("abc")); // Enter never reaches the text

    QTest::keyClicks(password, QStringLiteral("abcd"));
    QTest::keyClick(password, Qt::Key_Return);
    EXPECT_EQ(login->focusWidget(), control<QPushButton>(login, "cmdOK"));
    EXPECT_EQ(recorder.messages.size(), 1);
}

TEST_F(Login, TypedNameIsCheckedAsTypedEvenWhenItBeginsALName)
{
    addUser(QStringLiteral("lisi"), QStringLiteral("abcd1234"));
    users::FrmLogin *login = showLogin();
    ASSERT_NE(login, nullptr);
    QComboBox *name = control<QComboBox>(login, "Cboyhmc");
    typeInto(login, name, QStringLiteral("li"));
    EXPECT_EQ(name->currentText(), QStringLiteral("li"));
    control<QLineEdit>(login, "Txtpass")->setText(QStringLiteral("abcd1234"));
    click(login, QStringLiteral("cmdOK"));
    EXPECT_EQ(recorder.texts(), QStringList{QStringLiteral("无效的密码，再试一次！")});
    EXPECT_FALSE(login->LoginSucceeded);
}

TEST_F(Login, CorrectPairClosesTheFormTrimmedAndLeavesNoQuery)
{
    users::FrmLogin *login = showLogin();
    ASSERT_NE(login, nullptr);
    attempt(login, QStringLiteral(" 张医生 "), QStringLiteral("abcd1234 "));
    EXPECT_TRUE(recorder.messages.isEmpty());
    EXPECT_TRUE(login->LoginSucceeded);
    EXPECT_EQ(users::signedInUser(), QStringLiteral("张医生")); // the doctor a prescription names
    EXPECT_EQ(login->passjy, 0);
    EXPECT_EQ(login->jbpass, QStringLiteral("1"));
    EXPECT_EQ(openWindow(QStringLiteral("frmLogin")), nullptr);
    EXPECT_EQ(recorder.programEnds, 0);
    EXPECT_FALSE(storedQueries().contains(QStringLiteral("yhmm")));
}

TEST_F(Login, ShortPasswordsAreRefusedUncountedAndWrongOnesAskAgain)
{
    users::FrmLogin *login = showLogin();
    ASSERT_NE(login, nullptr);
    for (int i = 0; i < 5; ++i)
        attempt(login, QStringLiteral("张医生"), QStringLiteral("abc"));
    ASSERT_EQ(recorder.messages.size(), 5);
    EXPECT_EQ(recorder.last().text, QStringLiteral("请输入四位以上密码"));
    EXPECT_EQ(recorder.last().icon, ui::Icon::Information);
    EXPECT_EQ(recorder.last().title, QString());

    recorder.messages.clear();
    for (int i = 0; i < 3; ++i)
        attempt(login, QStringLiteral("张医生"), QStringLiteral(" wrong-one "));
    ASSERT_EQ(recorder.messages.size(), 3);
    for (const ui::Message &message : recorder.messages)
        expectLoginMessage(message, QStringLiteral("无效的密码，再试一次！"), ui::Icon::None);
    // The checked (trimmed) password stands in the box, selected for retyping.
    EXPECT_EQ(control<QLineEdit>(login, "Txtpass")->text(), QStringLiteral("wrong-one"));
    EXPECT_EQ(control<QLineEdit>(login, "Txtpass")->selectedText(), QStringLiteral("wrong-one"));
    EXPECT_EQ(login->focusWidget(), control<QLineEdit>(login, "Txtpass"));
    EXPECT_FALSE(storedQueries().contains(QStringLiteral("yhmm")));
    EXPECT_EQ(recorder.programEnds, 0);
}

TEST_F(Login, ThirdCountedAttemptMaySucceed)
{
    users::FrmLogin *login = showLogin();
    ASSERT_NE(login, nullptr);
    attempt(login, QStringLiteral("张医生"), QStringLiteral("wrong-one"));
    attempt(login, QStringLiteral("张医生"), QStringLiteral("abc")); // not counted
    attempt(login, QStringLiteral("张医生"), QStringLiteral("wrong-two"));
    attempt(login, QStringLiteral("张医生"), QStringLiteral("abcd1234"));
    EXPECT_TRUE(login->LoginSucceeded);
    EXPECT_EQ(openWindow(QStringLiteral("frmLogin")), nullptr);
    EXPECT_EQ(recorder.programEnds, 0);
}

TEST_F(Login, FourthCountedAttemptIsRefusedEvenWithTheCorrectPair)
{
    for (const QString &fourth : {QStringLiteral("wrong-four"), QStringLiteral("abcd1234")}) {
        SCOPED_TRACE(fourth.toStdString());
        recorder.messages.clear();
        recorder.programEnds = 0;
        users::FrmLogin *login = showLogin();
        ASSERT_NE(login, nullptr);
        for (int i = 0; i < 3; ++i)
            attempt(login, QStringLiteral("张医生"), QStringLiteral("wrong-one"));
        attempt(login, QStringLiteral("张医生"), fourth);
        ASSERT_EQ(recorder.messages.size(), 4);
        expectLoginMessage(recorder.last(), QStringLiteral("非法用户，你无权使用本系统！"), ui::Icon::Information);
        EXPECT_FALSE(login->LoginSucceeded);
        EXPECT_EQ(recorder.programEnds, 1);
        EXPECT_EQ(openWindow(QStringLiteral("frmLogin")), nullptr);
    }
}

TEST_F(Login, CraftedInputCannotPassOrChangeTheCheck)
{
    users::FrmLogin *login = showLogin();
    ASSERT_NE(login, nullptr);
    attempt(login, QStringLiteral("'or'1'='1"), QStringLiteral("'or'1'='1"));
    attempt(login, QStringLiteral("张医生"), QStringLiteral("'or'1'='1"));
    attempt(login, QStringLiteral("张医生' or '1'='1"), QStringLiteral("x' or 姓名<>'"));
    ASSERT_EQ(recorder.messages.size(), 3);
    for (const ui::Message &message : recorder.messages)
        EXPECT_EQ(message.text, QStringLiteral("无效的密码，再试一次！"));
    EXPECT_FALSE(login->LoginSucceeded);
    EXPECT_EQ(rows(QStringLiteral("密码表")).size(), 1);
    EXPECT_FALSE(storedQueries().contains(QStringLiteral("yhmm")));
}

TEST_F(Login, CancelAndEscapeEndTheProgram)
{
    users::FrmLogin *login = showLogin();
    ASSERT_NE(login, nullptr);
    click(login, QStringLiteral("cmdCancel"));
    EXPECT_EQ(recorder.programEnds, 1);
    EXPECT_EQ(openWindow(QStringLiteral("frmLogin")), nullptr);
    EXPECT_TRUE(recorder.messages.isEmpty());

    login = showLogin();
    ASSERT_NE(login, nullptr);
    QTest::keyClick(control<QLineEdit>(login, "Txtpass"), Qt::Key_Escape);
    EXPECT_EQ(recorder.programEnds, 2);
    EXPECT_EQ(openWindow(QStringLiteral("frmLogin")), nullptr);
}

} // namespace
