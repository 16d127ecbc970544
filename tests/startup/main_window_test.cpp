#include "message_recorder.h"
#include "wait.h"
#include "windows.h"
#include "startup/frmhelp.h"
#include "startup/mdiflanx.h"
#include "startup/modulanxia.h"
#include "startup/run_mode.h"
#include "startup/screens.h"
#include "startup/shell.h"
#include "startup/window_keys.h"
#include "ui/pointer.h"

#include <QAction>
#include <QDesktopServices>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

// Receives the URLs that the main window asks the desktop to open.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls.append(url); }
};

} // namespace

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        window = new startup::MDIFlanx;
        window->showMaximized();
    }
    void TearDown() override
    {
        if (window)
            window->allowClose();
        delete window.data();
        startup::setRunMode(QString());
    }
    void lockAll() { window->lockMenus(); }
    void unlock() { window->unlockMenus(); }
    QStringList enabledMenus() const
    {
        QStringList enabled;
        for (const QString &menu : startup::lockableMenus()) {
            if (window->isMenuEnabled(menu))
                enabled.append(menu);
        }
        return enabled;
    }
    QAction *action(const char *name) const { return window->findChild<QAction *>(name); }

    MessageRecorder recorder;
    QPointer<startup::MDIFlanx> window;
};

TEST_F(MainWindow, MenuTreeWithNamesAndCaptions)
{
    EXPECT_EQ(window->windowTitle(), "欢迎使用澄川本草");
    const std::pair<const char *, const char *> topLevel[] = {
        {"ZysjDl", "中医药材资料登录&D"}, {"zycxll", "中医药材查询&F"}, {"zyfj", "中医方剂&P"},
        {"xtwh", "系统维护&W"},           {"XtHelp", "系统帮助&H"},      {"zyexit", "退出系统&Q"},
    };
    const QList<QAction *> bar = window->menuBar()->actions();
    ASSERT_EQ(bar.size(), 6);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(bar[i]->objectName(), topLevel[i].first);
        EXPECT_EQ(bar[i]->text(), topLevel[i].second);
    }
    const std::pair<const char *, const char *> items[] = {
        {"ZysjDl0", "中医药材登录"},    {"zycxll0", "中医药材查询"},         {"xtwh1", "系统密码维护"},
        {"cc", "数据备份/恢复"},        {"XtYhzl", "用户资料登录"},           {"DateSj", "导入澄川中医数据"},
        {"Xpict", "更换系统背景"},      {"xtxx", "关于澄川中医门诊系统...."}, {"linkie", "浏览澄川中医软件"},
        {"zyfj0", "方剂查询"},          {"zyfj1", "开处方"},
    };
    for (const auto &[name, caption] : items) {
        ASSERT_TRUE(action(name)) << name;
        EXPECT_EQ(action(name)->text(), caption);
    }
    QStringList maintenance;
    for (QAction *item : window->findChild<QMenu *>("xtwh")->actions())
        maintenance.append(item->isSeparator() ? "-" : item->objectName());
    EXPECT_EQ(maintenance, QStringList({"xtwh1", "cc", "-", "XtYhzl", "DateSj", "-", "Xpict"}));
    EXPECT_TRUE(action("DateSj")->isVisible());
}

TEST_F(MainWindow, UnlockEnablesAllInAnOrdinaryRunAndOnlyExitAndMaintenanceInFirstUse)
{
    lockAll();
    EXPECT_TRUE(enabledMenus().isEmpty());
    startup::setRunMode("000");
    unlock();
    EXPECT_EQ(enabledMenus(), QStringList({"zyexit", "xtwh"}));
    lockAll();
    startup::setRunMode("5831");
    unlock();
    EXPECT_EQ(enabledMenus(), startup::lockableMenus());
    startup::setRunMode(QString());
    lockAll();
    unlock();
    EXPECT_EQ(enabledMenus(), startup::lockableMenus());
}

// The close button (and Alt+F4) is 退出系统: its question, and on Yes the session's end (the
// automatic backup) and the program's; while a screen is open it names that screen instead.
TEST_F(MainWindow, CloseAsksAsExitDoesAndMinimizeComesBackMaximized)
{
    int sessionEnds = 0;
    Modulanxia::setSessionEnd([&sessionEnds] { ++sessionEnds; });
    recorder.answerNext(ui::Answer::No);
    EXPECT_FALSE(window->close());
    EXPECT_EQ(recorder.texts(), QStringList{"退出澄川中医门诊系统吗?"});
    EXPECT_TRUE(window->isVisible());

    auto *screen = new QWidget(window, Qt::Window);
    screen->setWindowTitle("中医药材登录");
    screen->show();
    lockAll();
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(recorder.last().text.contains("中医药材登录"));
    EXPECT_EQ(recorder.last().buttons, ui::Buttons::Ok);
    delete screen;
    unlock();
    EXPECT_EQ(sessionEnds + recorder.programEnds, 0);

    window->setWindowState(Qt::WindowMinimized);
    EXPECT_TRUE(waitUntil([this] { return (window->windowState() & ~Qt::WindowActive) == Qt::WindowMaximized; }));
    window->showNormal();
    EXPECT_TRUE(waitUntil([this] { return (window->windowState() & ~Qt::WindowActive) == Qt::WindowMaximized; }));

    EXPECT_TRUE(window->close()); // Yes
    EXPECT_EQ(sessionEnds, 1);
    EXPECT_EQ(recorder.programEnds, 1);
    Modulanxia::setSessionEnd({});
}

TEST_F(MainWindow, ExitAsksAndOnlyYesEndsTheProgram)
{
    recorder.answerNext(ui::Answer::No);
    action("zyexit")->trigger();
    ASSERT_EQ(recorder.messages.size(), 1);
    EXPECT_EQ(recorder.last().text, "退出澄川中医门诊系统吗?");
    EXPECT_EQ(recorder.last().icon, ui::Icon::Question);
    EXPECT_EQ(recorder.last().buttons, ui::Buttons::YesNo);
    EXPECT_EQ(recorder.last().title, QString());
    EXPECT_EQ(recorder.programEnds, 0);
    EXPECT_TRUE(window->isVisible());

    recorder.answerNext(ui::Answer::Yes);
    action("zyexit")->trigger();
    EXPECT_EQ(recorder.programEnds, 1);
}

TEST_F(MainWindow, ScreensAskTheRegisteredWindowAndNoOneOnceItIsGone)
{
    ASSERT_EQ(startup::mainWindow(), nullptr);
    startup::setShell(window);
    EXPECT_EQ(startup::mainWindow(), window.data());
    startup::registerScreen("Stand-in", [](QWidget *main) { return new QWidget(main, Qt::Window); });
    QPointer<QWidget> screen = startup::showScreen("Stand-in");
    EXPECT_EQ(screen->parentWidget(), window.data());

    lockAll();
    startup::setRunMode("000");
    startup::unlockMenus();
    EXPECT_EQ(enabledMenus(), QStringList({"zyexit", "xtwh"}));
    QPixmap red(8, 6);
    red.fill(Qt::red);
    startup::setBackgroundPicture(red);
    EXPECT_EQ(window->backgroundPicture().toImage(), red.toImage());
    startup::closeMainWindow();
    EXPECT_FALSE(window->isVisible());

    // Deleted, the window is asked nothing more: the screens' requests fall through.
    delete window.data();
    EXPECT_EQ(startup::mainWindow(), nullptr);
    startup::unlockMenus();
    startup::setBackgroundPicture(red);
    startup::closeMainWindow();
    screen = startup::showScreen("Stand-in");
    startup::unregisterScreen("Stand-in");
    ASSERT_TRUE(screen);
    EXPECT_EQ(screen->parentWidget(), nullptr);
    delete screen.data();
}

TEST_F(MainWindow, WorkSentToAScreenReachesTheOneOpenOrOpensItBesideTheSender)
{
    startup::setShell(window);
    QStringList received;
    startup::registerScreen("Stand-in", [](QWidget *main) { return new QWidget(main, Qt::Window); });
    EXPECT_FALSE(startup::sendToScreen("Stand-in", "柴胡12g")) << "a screen without an inbox takes nothing";
    startup::registerInbox("Stand-in", [&](QWidget *, const QString &text) { received.append(text); });

    ASSERT_TRUE(startup::sendToScreen("Stand-in", "柴胡12g"));
    QPointer<QWidget> opened = visibleWindow("Stand-in");
    ASSERT_TRUE(opened);
    EXPECT_FALSE(startup::openedFromMenu(opened)) << "opened beside the sender, it must not give the menus back";
    ASSERT_TRUE(startup::sendToScreen("Stand-in", "黄芩9g"));
    EXPECT_EQ(visibleWindow("Stand-in"), opened) << "the open screen takes it, no second one";
    EXPECT_EQ(received, QStringList({"柴胡12g", "黄芩9g"}));

    delete opened.data();
    QPointer<QWidget> fromMenu = startup::openScreenFromMenu("Stand-in");
    EXPECT_TRUE(startup::openedFromMenu(fromMenu));
    ASSERT_TRUE(startup::sendToScreen("Stand-in", "当归"));
    EXPECT_EQ(visibleWindow("Stand-in"), fromMenu);
    startup::unregisterScreen("Stand-in");
    EXPECT_FALSE(startup::sendToScreen("Stand-in", "当归"));
    delete fromMenu.data();
}

// The help window on the help page of the build tree, with its pictures.
class HelpWindow : public MainWindow {
protected:
    void SetUp() override
    {
        MainWindow::SetUp();
        startup::setHelpPageUrl(page);
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    }
    void TearDown() override
    {
        startup::setHelpPageUrl({});
        delete help().data();
        MainWindow::TearDown();
    }
    static QPointer<QWidget> help() { return visibleWindow(QStringLiteral("FrmHelp")); }
    QTextBrowser *browser() const { return namedControl<QTextBrowser>(help(), QStringLiteral("TxtHelp")); }
    void press(const char *button) const { namedControl<QPushButton>(help(), QLatin1String(button))->click(); }

    const QUrl page = QUrl::fromLocalFile(QStringLiteral(CC_HELP_PAGE));
};

TEST_F(HelpWindow, WebPageCommandShowsTheHelpPageInsideTheProgramWithEveryPicture)
{
    UrlCatcher browserOfTheDesktop;
    QDesktopServices::setUrlHandler("file", &browserOfTheDesktop, "open");
    ui::setBusyPointer();
    action("linkie")->trigger();
    QDesktopServices::unsetUrlHandler("file");
    EXPECT_TRUE(browserOfTheDesktop.urls.isEmpty());
    EXPECT_TRUE(recorder.messages.isEmpty()) << recorder.texts().join('|').toStdString();
    EXPECT_FALSE(ui::isPointerBusy());
    EXPECT_EQ(enabledMenus(), startup::lockableMenus()); // the menus are not locked for it
    ASSERT_TRUE(help());
    EXPECT_EQ(help()->windowTitle(), "澄川本草 使用帮助");
    EXPECT_EQ(browser()->source(), page);
    EXPECT_EQ(browser()->verticalScrollBar()->value(), 0);

    // Every picture the page shows is there to be shown.
    const QString html = browser()->document()->toHtml();
    static const QRegularExpression picture(QStringLiteral("<img src=\"([^\"]+)\""));
    int pictures = 0;
    for (const QRegularExpressionMatch &found : picture.globalMatch(html)) {
        const QVariant image = browser()->document()->resource(QTextDocument::ImageResource, QUrl(found.captured(1)));
        EXPECT_FALSE(image.value<QImage>().isNull()) << found.captured(1).toStdString();
        ++pictures;
    }
    EXPECT_GE(pictures, 8);
}

TEST_F(HelpWindow, ScreensOpenTheirSectionInTheOneWindowWithLinksBackAndForward)
{
    startup::openHelp(QString());
    QPointer<QWidget> first = help();
    ASSERT_TRUE(startup::openHelp("browse"));
    EXPECT_EQ(help(), first);
    EXPECT_EQ(browser()->source().fragment(), "browse");
    EXPECT_GT(browser()->verticalScrollBar()->value(), 0);
    // Every section a screen asks for is on the page.
    for (const char *screen : {"Frmzyyc", "Frmzyll", "Frmmmwh", "FrmYhzl", "Frmcopy", "FrmHfbf", "FrmLinkDb", "FrmJczl",
                               "frmLogin", "frmSplash", "frmAbout", "Frmkcf", "Frmfjcx"}) {
        const QString section = startup::helpSection(screen);
        EXPECT_TRUE(!section.isEmpty() && browser()->document()->toHtml().contains("name=\"" + section + '"')) << screen;
    }

    browser()->setSource(page.resolved(QUrl("#backup"))); // what a click on a link to that section does
    EXPECT_EQ(browser()->source().fragment(), "backup");
    press("CmdBack");
    EXPECT_EQ(browser()->source().fragment(), "browse");
    press("CmdForward");
    EXPECT_EQ(browser()->source().fragment(), "backup");
    EXPECT_FALSE(namedControl<QPushButton>(help(), "CmdForward")->isEnabled());

    UrlCatcher browserOfTheDesktop;
    QDesktopServices::setUrlHandler("file", &browserOfTheDesktop, "open");
    press("CmdBrowser");
    QDesktopServices::unsetUrlHandler("file");
    ASSERT_EQ(browserOfTheDesktop.urls.size(), 1);
    EXPECT_EQ(browserOfTheDesktop.urls[0].adjusted(QUrl::RemoveFragment), page);
    EXPECT_EQ(browserOfTheDesktop.urls[0].fragment(), "backup");
}

TEST_F(HelpWindow, F1OpensTheSectionOfTheWindowWithTheFocus)
{
    startup::setShell(window);
    startup::registerScreen("Frmzyll", [](QWidget *main) { return new QWidget(main, Qt::Window); });
    QPointer<QWidget> screen = startup::showScreen("Frmzyll");
    startup::unregisterScreen("Frmzyll");
    QTest::keyClick(screen, Qt::Key_F1);
    ASSERT_TRUE(help());
    EXPECT_EQ(browser()->source().fragment(), "browse");
    QTest::keyClick(window, Qt::Key_F1); // the main window's: the top of the page
    EXPECT_FALSE(browser()->source().hasFragment());
    delete screen.data();
}

TEST_F(HelpWindow, ClosingGivesTheKeyboardBackToTheWindowThatAsked)
{
    QWidget screen(window, Qt::Dialog);
    auto *button = new QPushButton(QStringLiteral("使用帮助&H"), &screen);
    screen.show();
    button->setFocus();
    screen.activateWindow();
    ASSERT_TRUE(waitUntil([&] { return QApplication::activeWindow() == &screen; }));
    startup::openHelp("browse");
    ASSERT_TRUE(waitUntil([] { return QApplication::activeWindow() == help(); }));
    press("CmdClose");
    EXPECT_TRUE(waitUntil([&] { return QApplication::activeWindow() == &screen; }));
    EXPECT_EQ(QApplication::focusWidget(), button);
    EXPECT_FALSE(help());
}

TEST_F(HelpWindow, WithoutABrowserTheButtonSaysWhereThePageIs)
{
    action("linkie")->trigger();
    // No browser can be found: nothing on the search path, none named.
    QTemporaryDir empty;
    const QByteArray path = qgetenv("PATH");
    const QByteArray named = qgetenv("BROWSER");
    qputenv("PATH", empty.path().toUtf8());
    qunsetenv("BROWSER");
    press("CmdBrowser");
    qputenv("PATH", path);
    if (!named.isEmpty())
        qputenv("BROWSER", named);

    ASSERT_EQ(recorder.messages.size(), 1);
    EXPECT_EQ(recorder.last().text, "没有找到可以打开帮助页的网页浏览器。请安装网页浏览器，或用浏览器打开这个文件：\r\n"
                                        + page.toLocalFile());
    EXPECT_EQ(recorder.last().icon, ui::Icon::Information);
    EXPECT_FALSE(ui::isPointerBusy());
    EXPECT_TRUE(help()); // the help itself stays readable
}

TEST_F(HelpWindow, AMissingPageIsToldAndOpensNothing)
{
    QTemporaryDir empty;
    const QString missing = empty.filePath("help/index.html");
    startup::setHelpPageUrl(QUrl::fromLocalFile(missing));
    ui::setBusyPointer();
    action("linkie")->trigger();
    EXPECT_FALSE(help());
    ASSERT_EQ(recorder.messages.size(), 1);
    EXPECT_EQ(recorder.last().text, "没有找到帮助页，程序的安装可能不完整：\r\n" + missing);
    EXPECT_EQ(recorder.last().icon, ui::Icon::Information);
    EXPECT_FALSE(ui::isPointerBusy());
}

#include "main_window_test.moc"
