// The password maintenance screen driven through its controls against a real data file.
#include "access/frmmmwh.h"
#include "access/password_hash.h"
#include "access_fixture.h"
#include "startup/screens.h"

namespace {

class PasswordScreen : public AccessTest {
protected:
    QWidget *showScreen()
    {
        startup::showScreen(QStringLiteral("Frmmmwh"));
        screen = openWindow(QStringLiteral("Frmmmwh"));
        EXPECT_NE(screen, nullptr);
        name = control<QComboBox>(screen, "CboYhmc");
        first = control<QLineEdit>(screen, "TxtNpas");
        second = control<QLineEdit>(screen, "TxtPasn");
        return screen;
    }

    void fill(const QString &user, const QString &newPassword, const QString &confirmation)
    {
        name->setEditText(user);
        first->setText(newPassword);
        second->setText(confirmation);
    }

    short srjybl() const { return static_cast<users::Frmmmwh *>(screen)->srjybl; }

    QWidget *screen = nullptr;
    QComboBox *name = nullptr;
    QLineEdit *first = nullptr;
    QLineEdit *second = nullptr;
};

TEST_F(PasswordScreen, InputCheckRunsInOrderWithItsFourMessages)
{
    ASSERT_NE(showScreen(), nullptr);
    EXPECT_EQ(screen->windowTitle(), QStringLiteral("系统密码维护"));

    fill(QStringLiteral(" 张 "), QStringLiteral("ab"), QStringLiteral("cd"));
    click(screen, QStringLiteral("Cmdsave"));
    ASSERT_EQ(recorder.messages.size(), 1);
    EXPECT_EQ(recorder.last().text, QStringLiteral("请输二位字符以上的用户名称"));
    EXPECT_EQ(recorder.last().icon, ui::Icon::Information);
    EXPECT_EQ(name->currentText(), QStringLiteral("张"));
    EXPECT_EQ(screen->focusWidget(), name);
    EXPECT_EQ(name->lineEdit()->selectedText(), QStringLiteral("张"));
    EXPECT_EQ(srjybl(), 1);

    fill(QStringLiteral("张三"), QStringLiteral(" abc "), QStringLiteral("x"));
    click(screen, QStringLiteral("Cmdsave"));
    EXPECT_EQ(recorder.last().text, QStringLiteral("请输入4位以上字符的密码"));
    EXPECT_EQ(screen->focusWidget(), first);
    EXPECT_EQ(first->text(), QStringLiteral("abc"));
    EXPECT_EQ(first->selectedText(), QStringLiteral("abc"));

    fill(QStringLiteral("张三"), QStringLiteral("abcd"), QStringLiteral("abc"));
    click(screen, QStringLiteral("Cmdsave"));
    EXPECT_EQ(recorder.last().text, QStringLiteral("请输入4位以上字符的密码"));
    EXPECT_EQ(screen->focusWidget(), second);

    fill(QStringLiteral("张三"), QStringLiteral("abcd"), QStringLiteral("abce"));
    click(screen, QStringLiteral("Cmdsave"));
    EXPECT_EQ(recorder.last().text, QStringLiteral("新密码两次输入有误，重新输入。"));
    EXPECT_EQ(recorder.last().icon, ui::Icon::None);
    EXPECT_EQ(recorder.last().title, std::nullopt); // the application's own title
    EXPECT_TRUE(first->text().isEmpty());
    EXPECT_TRUE(second->text().isEmpty());
    EXPECT_EQ(screen->focusWidget(), first);
    EXPECT_EQ(srjybl(), 1);

    EXPECT_EQ(recorder.messages.size(), 4);
    EXPECT_TRUE(rows(QStringLiteral("密码表")).isEmpty());
}

TEST_F(PasswordScreen, SaveReplacesTheTableWithOneHashedRowAndClearsTheScreen)
{
    addUser(QStringLiteral("旧用户"), QStringLiteral("old-pass"));
    ASSERT_NE(showScreen(), nullptr);
    ASSERT_EQ(name->count(), 1);
    EXPECT_EQ(name->itemText(0), QStringLiteral("旧用户"));

    fill(QStringLiteral("张三 "), QStringLiteral(" abcd"), QStringLiteral("abcd "));
    click(screen, QStringLiteral("Cmdsave"));
    EXPECT_TRUE(recorder.messages.isEmpty());
    EXPECT_EQ(srjybl(), 0);

    const QList<QStringList> table = rows(QStringLiteral("密码表"));
    ASSERT_EQ(table.size(), 1);
    EXPECT_EQ(table[0][0], QStringLiteral("张三"));
    EXPECT_NE(table[0][1], QStringLiteral("abcd"));
    EXPECT_TRUE(users::verifyPassword(QStringLiteral("abcd"), table[0][1]));
    EXPECT_EQ(table[0][2], QStringLiteral("1"));

    EXPECT_TRUE(name->currentText().isEmpty());
    EXPECT_TRUE(first->text().isEmpty());
    EXPECT_TRUE(second->text().isEmpty());
    ASSERT_EQ(name->count(), 1);
    EXPECT_EQ(name->itemText(0), QStringLiteral("张三"));

    fill(QStringLiteral("李四"), QStringLiteral("x"), QString());
    click(screen, QStringLiteral("Cmdqcls"));
    EXPECT_TRUE(name->currentText().isEmpty());
    EXPECT_TRUE(first->text().isEmpty());
}

TEST_F(PasswordScreen, NewNameBeginningLikeTheStoredOneIsSavedAsTyped)
{
    addUser(QStringLiteral("lisi"), QStringLiteral("old-pass"));
    ASSERT_NE(showScreen(), nullptr);
    typeInto(screen, name, QStringLiteral("li"));
    EXPECT_EQ(name->currentText(), QStringLiteral("li"));
    first->setText(QStringLiteral("abcd"));
    second->setText(QStringLiteral("abcd"));
    click(screen, QStringLiteral("Cmdsave"));
    const QList<QStringList> table = rows(QStringLiteral("密码表"));
    ASSERT_EQ(table.size(), 1);
    EXPECT_EQ(table[0][0], QStringLiteral("li"));
}

TEST_F(PasswordScreen, QuotesAreStoredAsTypedAndAFailedInsertKeepsTheOldRow)
{
    addUser(QStringLiteral("旧用户"), QStringLiteral("old-pass"));
    ASSERT_NE(showScreen(), nullptr);
    fill(QStringLiteral("O'Neil"), QStringLiteral("'or'1'='1"), QStringLiteral("'or'1'='1"));
    click(screen, QStringLiteral("Cmdsave"));
    EXPECT_TRUE(recorder.messages.isEmpty());
    QList<QStringList> table = rows(QStringLiteral("密码表"));
    ASSERT_EQ(table.size(), 1);
    EXPECT_EQ(table[0][0], QStringLiteral("O'Neil"));
    EXPECT_TRUE(users::verifyPassword(QStringLiteral("'or'1'='1"), table[0][1]));

    refuseInsertsInto(QStringLiteral("密码表"));
    fill(QStringLiteral("李四"), QStringLiteral("abcd"), QStringLiteral("abcd"));
    click(screen, QStringLiteral("Cmdsave"));
    ASSERT_EQ(recorder.messages.size(), 1);
    EXPECT_EQ(recorder.last().icon, ui::Icon::Information);
    EXPECT_TRUE(recorder.last().text.contains(QStringLiteral("磁盘已满")));
    table = rows(QStringLiteral("密码表"));
    ASSERT_EQ(table.size(), 1);
    EXPECT_EQ(table[0][0], QStringLiteral("O'Neil"));
}

TEST_F(PasswordScreen, EnterMovesAlongAndSpacesNeverReachTheBoxes)
{
    ASSERT_NE(showScreen(), nullptr);
    QTest::keyClicks(first, QStringLiteral(" a b "));
    EXPECT_EQ(first->text(), QStringLiteral("ab"));

    name->setEditText(QStringLiteral("张"));
    QTest::keyClick(name, Qt::Key_Return); // one character: nothing happens
    EXPECT_NE(screen->focusWidget(), first);
    name->setEditText(QStringLiteral("张三"));
    QTest::keyClick(name, Qt::Key_Return);
    EXPECT_EQ(screen->focusWidget(), first);
    EXPECT_EQ(first->selectedText(), QStringLiteral("ab"));

    QTest::keyClick(first, Qt::Key_Return); // two characters: the warning
    ASSERT_EQ(recorder.messages.size(), 1);
    EXPECT_EQ(recorder.last().text, QStringLiteral("系统使用密码必须大于3位"));
    EXPECT_EQ(recorder.last().icon, ui::Icon::Exclamation);
    EXPECT_EQ(recorder.last().title, QString());

    // Enter in the second box tests only that the first is not empty.
    QTest::keyClick(second, Qt::Key_Return);
    EXPECT_EQ(screen->focusWidget(), control<QPushButton>(screen, "Cmdsave"));
    click(screen, QStringLiteral("Cmdsave"));
    EXPECT_EQ(recorder.last().text, QStringLiteral("请输入4位以上字符的密码"));

    first->clear();
    QTest::keyClick(second, Qt::Key_Return);
    EXPECT_EQ(recorder.last().text, QStringLiteral("系统使用密码必须大于3位"));

    first->setText(QStringLiteral("abcd"));
    QTest::keyClick(first, Qt::Key_Return);
    EXPECT_EQ(screen->focusWidget(), second);
    EXPECT_EQ(recorder.messages.size(), 3);
}

TEST_F(PasswordScreen, ExitIsRefusedWhileTheTableIsEmpty)
{
    ASSERT_NE(showScreen(), nullptr);
    click(screen, QStringLiteral("Cmdexit"));
    ASSERT_EQ(recorder.texts(), QStringList{QStringLiteral("密码表内容不完整，系统不能退出")});
    EXPECT_EQ(recorder.last().icon, ui::Icon::Information);
    EXPECT_TRUE(screen->isVisible());

    // The frame cannot close it either.
    screen->close();
    EXPECT_TRUE(screen->isVisible());

    fill(QStringLiteral("张三"), QStringLiteral("abcd"), QStringLiteral("abcd"));
    click(screen, QStringLiteral("Cmdsave"));
    click(screen, QStringLiteral("Cmdexit"));
    EXPECT_EQ(recorder.messages.size(), 1); // an ordinary run: no message on leaving
    EXPECT_EQ(openWindow(QStringLiteral("Frmmmwh")), nullptr);
}

TEST_F(PasswordScreen, LeavingInFirstUseOpensTheLogin)
{
    startup::setRunMode(startup::kFirstUseMode);
    addUser(QStringLiteral("张三"), QStringLiteral("abcd"));
    ASSERT_NE(showScreen(), nullptr);
    click(screen, QStringLiteral("Cmdexit"));
    EXPECT_TRUE(recorder.messages.isEmpty());
    EXPECT_EQ(openWindow(QStringLiteral("Frmmmwh")), nullptr);
    EXPECT_NE(openWindow(QStringLiteral("frmLogin")), nullptr);
}

} // namespace
