#include "message_recorder.h"
#include "wait.h"
#include "startup/mdiflanx.h"
#include "startup/modulanxia.h"
#include "startup/run_mode.h"
#include "startup/screens.h"
#include "ui/pointer.h"

#include <QAction>
#include <QDesktopServices>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTemporaryDir>
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
        window->allowClose();
        delete window;
        startup::setRunMode(QString());
    }
    // Modulanxia's menu lock works on the window that Main shows; these tests use their own.
    void lockAll()
    {
        for (const QString &menu : startup::lockableMenus())
            window->setMenuEnabled(menu, false);
    }
    void unlock()
    {
        for (const QString &menu : startup::menusToUnlock(startup::runMode()))
            window->setMenuEnabled(menu, true);
    }
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
    startup::MDIFlanx *window = nullptr;
};

TEST_F(MainWindow, MenuTreeWithNamesAndCaptions)
{
    EXPECT_EQ(window->windowTitle(), "欢迎使用澄川本草");
    const std::pair<const char *, const char *> topLevel[] = {
        {"ZysjDl", "中医药材资料登录&D"}, {"zycxll", "中医药材查询&F"}, {"xtwh", "系统维护&W"},
        {"XtHelp", "系统帮助&H"},         {"zyexit", "退出系统&Q"},
    };
    const QList<QAction *> bar = window->menuBar()->actions();
    ASSERT_EQ(bar.size(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(bar[i]->objectName(), topLevel[i].first);
        EXPECT_EQ(bar[i]->text(), topLevel[i].second);
    }
    const std::pair<const char *, const char *> items[] = {
        {"ZysjDl0", "中医药材登录"},    {"zycxll0", "中医药材查询"},         {"xtwh1", "系统密码维护"},
        {"cc", "数据备份/恢复"},        {"XtYhzl", "用户资料登录"},           {"DateSj", "导入澄川中医数据"},
        {"Xpict", "更换系统背景"},      {"xtxx", "关于澄川中医门诊系统...."}, {"linkie", "浏览澄川中医软件"},
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

TEST_F(MainWindow, CloseIsRefusedAndMinimizeComesBackMaximized)
{
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    window->setWindowState(Qt::WindowMinimized);
    EXPECT_TRUE(waitUntil([this] { return (window->windowState() & ~Qt::WindowActive) == Qt::WindowMaximized; }));
    window->showNormal();
    EXPECT_TRUE(waitUntil([this] { return (window->windowState() & ~Qt::WindowActive) == Qt::WindowMaximized; }));
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

TEST_F(MainWindow, WebPageCommandOpensTheShippedHelpPage)
{
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("file", &catcher, "open");
    action("linkie")->trigger();
    // A screen's help button opens the page at its own section.
    EXPECT_TRUE(startup::MDIFlanx::openHelpPage("browse"));
    QDesktopServices::unsetUrlHandler("file");
    ASSERT_EQ(catcher.urls.size(), 2);
    EXPECT_TRUE(catcher.urls[0].isLocalFile());
    EXPECT_TRUE(catcher.urls[0].path().endsWith("help/index.html"));
    EXPECT_EQ(catcher.urls[1].fragment(), "browse");
    EXPECT_EQ(catcher.urls[1].path(), catcher.urls[0].path());
    EXPECT_TRUE(recorder.messages.isEmpty());
}

TEST_F(MainWindow, WebPageCommandWithoutABrowserSaysWhereThePageIs)
{
    // No browser can be found: nothing on the search path, none named.
    QTemporaryDir empty;
    const QByteArray path = qgetenv("PATH");
    const QByteArray browser = qgetenv("BROWSER");
    qputenv("PATH", empty.path().toUtf8());
    qunsetenv("BROWSER");
    action("linkie")->trigger();
    qputenv("PATH", path);
    if (!browser.isEmpty())
        qputenv("BROWSER", browser);

    ASSERT_EQ(recorder.messages.size(), 1);
    const QString page = startup::MDIFlanx::helpPageUrl().toLocalFile();
    EXPECT_EQ(recorder.last().text,
              "没有找到可以打开帮助页的网页浏览器。请安装网页浏览器，或用浏览器打开这个文件：\r\n" + page);
    EXPECT_TRUE(page.endsWith("help/index.html"));
    EXPECT_EQ(recorder.last().icon, ui::Icon::Information);
    EXPECT_FALSE(ui::isPointerBusy());
}

#include "main_window_test.moc"
