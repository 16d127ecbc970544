#include "access/clinic_record.h"
#include "access/password_record.h"
#include "app/screen_registration.h"
#include "datastore/data_file.h"
#include "message_recorder.h"
#include "qstring_printer.h"
#include "startup/mdiflanx.h"
#include "startup/modulanxia.h"
#include "startup/screens.h"
#include "temp_data.h"
#include "wait.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QPointer>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

namespace {

// The control that holds tab index 0 on each screen; a screen missing here (one that lands
// later) is held to the first control of its own tab order.
const QHash<QString, QString> kFirstTabStop{
    {QStringLiteral("Frmzyyc"), QStringLiteral("Txtycmc")}, {QStringLiteral("FrmYhzl"), QStringLiteral("TxtMzmc")},
    {QStringLiteral("Frmmmwh"), QStringLiteral("CboYhmc")}, {QStringLiteral("frmLogin"), QStringLiteral("Cboyhmc")},
    {QStringLiteral("frmAbout"), QStringLiteral("cmdOK")},  {QStringLiteral("frmSplash"), QStringLiteral("frmSplash")},
};

QStringList allScreens()
{
    registerScreens();
    QStringList screens = startup::registeredScreens();
    // The picture window only paints the main window's background and closes at once: no one
    // works in it.
    screens.removeAll(QStringLiteral("FrmPict"));
    return screens;
}

// The first control Tab reaches from the window's start, or the window itself when it has none.
QWidget *firstTabStop(QWidget *window)
{
    for (QWidget *w = window->nextInFocusChain(); w != window; w = w->nextInFocusChain()) {
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(window) && w->isEnabled() && !w->focusProxy())
            return w;
    }
    return window;
}

// A combo box's line edit stands for its combo box.
QWidget *control(QWidget *widget)
{
    if (widget && qobject_cast<QComboBox *>(widget->parentWidget()))
        return widget->parentWidget();
    return widget;
}

} // namespace

// The program started on a data file past its first use; the splash that start-up shows is
// removed, so each test opens its screen on the bare main window.
class EveryScreen : public ::testing::TestWithParam<QString> {
protected:
    void SetUp() override
    {
        const QString dataFile = home.installSeed();
        {
            ds::Database db = ds::openDataFile(dataFile);
            users::savePassword(db, QStringLiteral("王医生"), QStringLiteral("abcd1234"));
            users::saveClinic(db, users::ClinicInfo{{QStringLiteral("澄川中医门诊部"), QStringLiteral("澄川市杏林路8号"),
                                                      QStringLiteral("5550123"), QStringLiteral("王医生")}});
        }
        ASSERT_EQ(Modulanxia::Main(), Modulanxia::MainOutcome::Running);
        main = Modulanxia::mainWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(main));
        removeScreens();
        // Screens open from a menu of the active main window.
        main->activateWindow();
        ASSERT_TRUE(waitUntil([this] { return QApplication::activeWindow() == main; }));
    }
    void TearDown() override
    {
        removeScreens();
        Modulanxia::shutdown();
    }
    void removeScreens()
    {
        QList<QPointer<QWidget>> windows;
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (window != main && window->isVisible())
                windows.append(window);
        }
        for (const QPointer<QWidget> &window : windows)
            delete window.data();
    }

    TempHome home;
    MessageRecorder recorder;
    QPointer<startup::MDIFlanx> main;
};

TEST_P(EveryScreen, OpensActiveOnItsFirstTabStopBelowTheMenus)
{
    const QString name = GetParam();
    QPointer<QWidget> screen = startup::showScreen(name);
    ASSERT_TRUE(screen) << name.toStdString();
    // The window itself, not only its owner, holds the keyboard.
    ASSERT_TRUE(waitUntil([&] { return QApplication::activeWindow() == screen; })) << name.toStdString();
    EXPECT_TRUE(recorder.messages.isEmpty()) << recorder.texts().join('|').toStdString();

    QWidget *focused = control(QApplication::focusWidget());
    ASSERT_TRUE(focused);
    EXPECT_EQ(focused, control(firstTabStop(screen))) << focused->objectName().toStdString();
    EXPECT_EQ(focused->objectName(), kFirstTabStop.value(name, control(firstTabStop(screen))->objectName()));

    // A window of its own, owned by the main window, placed in the area below the menu bar.
    EXPECT_TRUE(screen->isWindow());
    EXPECT_EQ(screen->parentWidget(), main.data());
    ASSERT_TRUE(screen->windowHandle());
    EXPECT_EQ(screen->windowHandle()->transientParent(), main->windowHandle());
    // Only an owned window of dialog type is transient for the main window on X11: above it,
    // with no task-bar entry of its own.
    EXPECT_EQ(screen->windowType(), Qt::Dialog) << name.toStdString();
    const QWidget *area = main->centralWidget();
    const QRect client(area->mapToGlobal(QPoint(0, 0)), area->size());
    EXPECT_GE(screen->frameGeometry().top(), client.top()) << name.toStdString();
    EXPECT_GE(screen->frameGeometry().left(), client.left()) << name.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Registered, EveryScreen, ::testing::ValuesIn(allScreens()),
                         [](const ::testing::TestParamInfo<QString> &param) { return param.param.toStdString(); });

TEST_F(EveryScreen, ScreenPlacedAtTopZeroSitsJustBelowTheMenus)
{
    QPointer<QWidget> screen = startup::showScreen(QStringLiteral("Frmzyyc"));
    ASSERT_TRUE(screen);
    const QWidget *area = main->centralWidget();
    const QRect client(area->mapToGlobal(QPoint(0, 0)), area->size());
    EXPECT_EQ(screen->frameGeometry().top(), client.top());
    EXPECT_NEAR(screen->geometry().center().x(), client.center().x(), 10); // the frame's edge aside
}

TEST_F(EveryScreen, EndingTheSessionMakesTheDaysAutomaticBackupOnce)
{
    QAction *exit = main->findChild<QAction *>(QStringLiteral("zyexit"));
    ASSERT_TRUE(exit);
    Modulanxia::UnlockMenus();
    recorder.answerNext(ui::Answer::No);
    exit->trigger();
    EXPECT_FALSE(QDir(home.file(QStringLiteral("ccdata/backups"))).exists());
    exit->trigger();
    EXPECT_EQ(recorder.programEnds, 1);
    const QDir backups(home.file(QStringLiteral("ccdata/backups")));
    const QStringList made = backups.entryList({QStringLiteral("ccyc-*.mdb")}, QDir::Files);
    ASSERT_EQ(made.size(), 1);
    EXPECT_TRUE(made[0].startsWith(QDate::currentDate().toString(QStringLiteral("'ccyc-'yyyy-MM-dd-")))) << made[0].toStdString();
    exit->trigger();
    EXPECT_EQ(backups.entryList({QStringLiteral("ccyc-*.mdb")}, QDir::Files), made);
}
