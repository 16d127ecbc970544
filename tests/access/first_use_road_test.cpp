// The program's first days: three starts of Main from a fresh data file, then the
// maintenance commands of an ordinary run.
#include "access_fixture.h"
#include "startup/mdiflanx.h"

#include <QAction>
#include <QLabel>
#include <QTimer>

namespace {

const QStringList kAllMenus{QStringLiteral("ZysjDl"), QStringLiteral("zycxll"), QStringLiteral("zyexit"),
                            QStringLiteral("XtHelp"), QStringLiteral("xtwh")};

class FirstUseRoad : public AccessTest {
protected:
    QStringList enabledMenus() const
    {
        QStringList enabled;
        for (const QString &menu : kAllMenus) {
            if (programWindow()->isMenuEnabled(menu))
                enabled.append(menu);
        }
        return enabled;
    }

    void start()
    {
        recorder.messages.clear();
        ASSERT_EQ(Modulanxia::Main(), Modulanxia::MainOutcome::Running);
        ASSERT_NE(programWindow(), nullptr);
    }

    void command(const QString &name)
    {
        QAction *action = programWindow()->findChild<QAction *>(name);
        ASSERT_NE(action, nullptr) << name.toStdString();
        action->trigger();
    }

    void setUpPassword(QWidget *screen)
    {
        control<QComboBox>(screen, "CboYhmc")->setEditText(QStringLiteral("李医生"));
        control<QLineEdit>(screen, "TxtNpas")->setText(QStringLiteral("xinglin88"));
        control<QLineEdit>(screen, "TxtPasn")->setText(QStringLiteral("xinglin88"));
        click(screen, QStringLiteral("Cmdsave"));
    }

    void setUpClinic(QWidget *screen)
    {
        control<QLineEdit>(screen, "TxtMzmc")->setText(QStringLiteral("澄川杏林门诊部"));
        control<QLineEdit>(screen, "TxtMzdz")->setText(QStringLiteral("澄川市杏林路8号"));
        control<QLineEdit>(screen, "TxtTele")->setText(QStringLiteral("0571-5550123"));
        control<QLineEdit>(screen, "TxtYhxm")->setText(QStringLiteral("李医生"));
        click(screen, QStringLiteral("CmdSave"));
    }

    void logIn()
    {
        QWidget *splash = openWindow(QStringLiteral("frmSplash"));
        ASSERT_NE(splash, nullptr);
        EXPECT_TRUE(control<QLabel>(splash, "LblYhmc")->text().contains(QStringLiteral("澄川杏林门诊部")));
        EXPECT_TRUE(enabledMenus().isEmpty());
        QMetaObject::invokeMethod(control<QTimer>(splash, "Timer1"), "timeout");
        logInAtTheForm();
    }

    void logInAtTheForm()
    {
        QWidget *login = openWindow(QStringLiteral("frmLogin"));
        ASSERT_NE(login, nullptr);
        EXPECT_TRUE(enabledMenus().isEmpty());
        EXPECT_EQ(control<QComboBox>(login, "Cboyhmc")->itemText(0), QStringLiteral("李医生"));
        control<QComboBox>(login, "Cboyhmc")->setEditText(QStringLiteral("李医生"));
        control<QLineEdit>(login, "Txtpass")->setText(QStringLiteral("xinglin88"));
        click(login, QStringLiteral("cmdOK"));
        EXPECT_EQ(openWindow(QStringLiteral("frmLogin")), nullptr);
    }
};

// The first start leads from the password through the login and the clinic form to every menu;
// the next start is the ordinary road through the splash and the login.
TEST_F(FirstUseRoad, FirstStartEndsLoggedInWithEveryMenuAndTheNextStartLogsIn)
{
    start();
    ASSERT_EQ(recorder.texts(), QStringList{QStringLiteral("初次使用系统　请先登录系统启动密码内容")});
    EXPECT_TRUE(enabledMenus().isEmpty());
    QWidget *passwords = openWindow(QStringLiteral("Frmmmwh"));
    ASSERT_NE(passwords, nullptr);
    setUpPassword(passwords);
    click(passwords, QStringLiteral("Cmdexit"));
    EXPECT_EQ(openWindow(QStringLiteral("Frmmmwh")), nullptr);
    logInAtTheForm();
    EXPECT_EQ(recorder.last().text, QStringLiteral("初次使用系统　请先登录用户资料内容"));
    EXPECT_TRUE(enabledMenus().isEmpty());
    QWidget *clinic = openWindow(QStringLiteral("FrmYhzl"));
    ASSERT_NE(clinic, nullptr);
    setUpClinic(clinic);
    EXPECT_EQ(openWindow(QStringLiteral("FrmYhzl")), nullptr);
    EXPECT_EQ(enabledMenus(), kAllMenus);
    EXPECT_EQ(recorder.programEnds, 0);
    Modulanxia::shutdown();

    start();
    EXPECT_TRUE(recorder.messages.isEmpty());
    logIn();
    EXPECT_TRUE(recorder.messages.isEmpty());
    EXPECT_EQ(enabledMenus(), kAllMenus);
}

// A start that finds the password set (its first run ended at the login) asks for the clinic,
// then for the login, and ends with every menu.
TEST_F(FirstUseRoad, ClinicFormOfALaterStartLeadsToTheLoginAndEveryMenu)
{
    addUser(QStringLiteral("李医生"), QStringLiteral("xinglin88"));
    start();
    ASSERT_EQ(recorder.texts(), QStringList{QStringLiteral("初次使用系统　请先登录用户资料内容")});
    QWidget *clinic = openWindow(QStringLiteral("FrmYhzl"));
    ASSERT_NE(clinic, nullptr);
    setUpClinic(clinic);
    EXPECT_EQ(openWindow(QStringLiteral("FrmYhzl")), nullptr);
    logInAtTheForm();
    EXPECT_EQ(enabledMenus(), kAllMenus);
}

TEST_F(FirstUseRoad, MaintenanceCommandsOpenTheScreensForAnOrdinaryUser)
{
    addUser(QStringLiteral("李医生"), QStringLiteral("xinglin88"));
    addClinic(QStringLiteral("澄川杏林门诊部"), QStringLiteral("澄川市杏林路8号"), QStringLiteral("0571-5550123"),
              QStringLiteral("李医生"));
    start();
    logIn();
    ASSERT_EQ(enabledMenus(), kAllMenus);

    command(QStringLiteral("xtwh1"));
    QWidget *passwords = openWindow(QStringLiteral("Frmmmwh"));
    ASSERT_NE(passwords, nullptr);
    EXPECT_TRUE(enabledMenus().isEmpty());
    click(passwords, QStringLiteral("Cmdexit"));
    EXPECT_TRUE(recorder.messages.isEmpty());
    EXPECT_EQ(enabledMenus(), kAllMenus);

    command(QStringLiteral("XtYhzl"));
    QWidget *clinic = openWindow(QStringLiteral("FrmYhzl"));
    ASSERT_NE(clinic, nullptr);
    EXPECT_TRUE(enabledMenus().isEmpty());
    EXPECT_EQ(control<QLineEdit>(clinic, "TxtMzmc")->text(), QStringLiteral("澄川杏林门诊部"));
    click(clinic, QStringLiteral("CmdSave"));
    EXPECT_EQ(enabledMenus(), kAllMenus);

    command(QStringLiteral("xtxx"));
    QWidget *about = openWindow(QStringLiteral("frmAbout"));
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(enabledMenus().isEmpty());
    QTest::keyClick(about, Qt::Key_Escape);
    EXPECT_EQ(openWindow(QStringLiteral("frmAbout")), nullptr);
    EXPECT_EQ(enabledMenus(), kAllMenus);
}

} // namespace
