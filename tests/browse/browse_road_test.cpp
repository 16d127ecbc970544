// The browse screen reached the way a clinic reaches it: from the main window's menu, after the
// dictionary rebuild, and left through 退出 with the menus given back.
#include "browse/register_browse_screens.h"
#include "browse_screen_fixture.h"
#include "startup/mdiflanx.h"
#include "startup/modulanxia.h"
#include "startup/run_mode.h"
#include "startup/screens.h"

#include <QAction>

namespace {

// Notes when the progress window shows and hides, and whether the menus were locked then.
class ProgressWatcher : public QObject {
public:
    QStringList events;
    bool menusLockedWhenShown = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched->objectName() == "Frmjdys" && (event->type() == QEvent::Show || event->type() == QEvent::Hide)) {
            events.append(event->type() == QEvent::Show ? "show" : "hide");
            if (event->type() == QEvent::Show)
                menusLockedWhenShown = !programWindow()->isMenuEnabled("zycxll");
        }
        return false;
    }
};

class BrowseRoad : public BrowseScreen {
protected:
    void SetUp() override
    {
        ds::setProgramFolder(home.path());
        browse::registerBrowseScreens();
        // Past its first use: a user and the clinic's details, so the start ends at the splash.
        ds::Database db = ds::openDataFile(dataFile);
        db.execute("INSERT INTO 密码表 VALUES ('张三', 'x', '1')");
        db.execute("INSERT INTO 用户资料 VALUES ('澄川中医门诊部', '杭州', '0571-1234567', '李四')");
    }
    void TearDown() override
    {
        startup::unregisterScreen("Frmzyll");
        Modulanxia::shutdown();
        ds::setProgramFolder(QString());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    static bool anyMenuEnabled()
    {
        for (const QString &menu : startup::lockableMenus()) {
            if (programWindow()->isMenuEnabled(menu))
                return true;
        }
        return false;
    }
};

} // namespace

TEST_F(BrowseRoad, MenuRebuildsOpensQueriesShowsAHerbAndGivesTheMenusBack)
{
    setHerbs({{"人参。", "归脾经。", "甘，微温。", "大补元气，生津。", "体虚欲脱。"},
              {"党参。", "归脾经。", "甘，平。", "补脾益肺，生津。", "脾虚食少。"},
              {"黄连。", "归心经。", "苦，寒。", "清热燥湿。", "湿热痞满。"}});
    setDictionary("药材功效", {});
    ASSERT_EQ(Modulanxia::Main(), Modulanxia::MainOutcome::Running);
    startup::unlockMenus();
    ProgressWatcher watcher;
    qApp->installEventFilter(&watcher);
    programWindow()->findChild<QAction *>("zycxll0")->trigger();
    qApp->removeEventFilter(&watcher);
    screen = programWindow()->findChild<browse::Frmzyll *>("Frmzyll");
    ASSERT_TRUE(screen);
    EXPECT_TRUE(screen->isVisible());
    EXPECT_FALSE(anyMenuEnabled());
    EXPECT_EQ(gridNames(), QStringList({"党参。", "黄连。", "人参。"}));
    // The rebuild ran first, under the progress window and the locked menus, which went again.
    EXPECT_EQ(watcher.events, QStringList({"show", "hide"}));
    EXPECT_TRUE(watcher.menusLockedWhenShown);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(programWindow()->findChild<QWidget *>("Frmjdys"));

    // The pick-lists, read as the screen opened, hold the keywords the rebuild has just split
    // out of the emptied dictionary, once each.
    QComboBox *efficacy = combo("Cboycgx1");
    QStringList keywords;
    for (int i = 0; i < efficacy->count(); ++i)
        keywords.append(efficacy->itemText(i));
    EXPECT_EQ(keywords.count("生津"), 1);
    EXPECT_TRUE(keywords.contains("清热燥湿"));

    efficacy->setEditText("生津");
    click("Cmdseek");
    EXPECT_EQ(gridNames(), QStringList({"党参。", "人参。"}));
    clickCell(1, 4);
    EXPECT_EQ(detail("TxtYcmc"), "人参。");
    EXPECT_TRUE(messages.texts().isEmpty());

    click("Cmdexit");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(screen.isNull());
    EXPECT_TRUE(anyMenuEnabled());
}
