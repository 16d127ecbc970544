// The backup and restore screen driven through its controls, on the offscreen platform.
#include "maintenance/animation_player.h"
#include "maintenance/frmcopy.h"
#include "maintenance/off_thread.h"
#include "screen_fixture.h"
#include "ui/error_box.h"

#include <QDeadlineTimer>
#include <QRadioButton>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <thread>

namespace {

class CopyScreen : public MaintenanceScreen {
protected:
    CopyScreen()
    {
        // The pause after a copy: recorded, with what the screen shows meanwhile, not waited.
        maint::Frmcopy::setWaitForTests([this](int milliseconds) {
            waits.append(milliseconds);
            shownDuringWait = {control("Cmdcopy")->isVisible(), control("Cmdexit")->isVisible(),
                               control("Aniplay")->isVisible()};
        });
        open("Frmcopy");
    }
    ~CopyScreen() override { maint::Frmcopy::setWaitForTests({}); }

    QLineEdit *path() const { return control<QLineEdit>("Txtpath"); }
    bool buttonsShown() const { return control("Cmdcopy")->isVisible() && control("Cmdexit")->isVisible(); }

    QList<int> waits;
    QList<bool> shownDuringWait;
};

TEST_F(CopyScreen, ShowsItsControlsAsTheClinicKnowsThem)
{
    EXPECT_EQ(screen->windowTitle(), "数据备份及数据恢复");
    const std::pair<const char *, const char *> captions[] = {
        {"CmdPath", "选择名称及路径"}, {"Cmdcopy", "保存数据&B"}, {"Cmdexit", "退出&T"}};
    for (const auto &[name, caption] : captions)
        EXPECT_EQ(control<QPushButton>(name)->text(), caption) << name;
    EXPECT_EQ(control<QRadioButton>("Optsave")->text(), "备份数据");
    EXPECT_EQ(control<QRadioButton>("Optcove")->text(), "恢复数据");
    EXPECT_TRUE(control<QRadioButton>("Optsave")->isChecked());
    EXPECT_EQ(path()->toolTip(), "\"回车选择要保存或要恢复的路径及名称\"");
    EXPECT_EQ(path()->geometry(), QRect(112, 8, 337, 25));
    EXPECT_TRUE(path()->text().isEmpty());
    EXPECT_FALSE(control("Aniplay")->isVisible());
    EXPECT_TRUE(buttonsShown());
}

TEST_F(CopyScreen, EmptyPathAsksForAFileAndGivesThePathButtonFocus)
{
    screen->activateWindow();
    path()->setText("   ");
    click("Cmdcopy");
    EXPECT_EQ(lastMessage(), "选择要备份或恢复的文件");
    EXPECT_EQ(recorder.last().icon, ui::Icon::None);
    EXPECT_EQ(screen->focusWidget(), control("CmdPath"));
    EXPECT_TRUE(buttonsShown());
    EXPECT_TRUE(waits.isEmpty());
}

TEST_F(CopyScreen, ModeSwitchEmptiesThePathAndSetsCaptionsAndDialog)
{
    const struct {
        const char *option;
        const char *copyCaption;
        ui::FileDialogMode dialog;
    } modes[] = {{"Optcove", "数据恢复", ui::FileDialogMode::Open}, {"Optsave", "数据备份", ui::FileDialogMode::Save}};
    int asked = 0;
    for (const auto &m : modes) {
        path()->setText("/tmp/旧的.mdb");
        QTest::mouseClick(control(m.option), Qt::LeftButton, {}, QPoint(5, 5));
        EXPECT_TRUE(path()->text().isEmpty()) << m.option;
        EXPECT_EQ(control<QPushButton>("Cmdcopy")->text(), m.copyCaption);

        dialogs.answerNext(home.file(" 选中.mdb "));
        click("CmdPath");
        ASSERT_FALSE(dialogs.requests.isEmpty());
        EXPECT_EQ(dialogs.requests.last().mode, m.dialog);
        EXPECT_EQ(dialogs.requests.last().filter, "数据库文件(*.mdb)");
        EXPECT_EQ(dialogs.requests.last().folder, home.path());
        EXPECT_EQ(path()->text(), home.file(" 选中.mdb ").trimmed());
        // Cancelling keeps what is there; Enter in the box asks as the button does.
        QTest::keyClick(path(), Qt::Key_Return);
        EXPECT_EQ(dialogs.requests.last().mode, m.dialog);
        EXPECT_EQ(path()->text(), home.file(" 选中.mdb ").trimmed());
        EXPECT_EQ(dialogs.requests.size(), asked += 2);
    }
}

TEST_F(CopyScreen, BackupCopiesThenWaitsWithTheClipAndGivesTheButtonsBack)
{
    const QString backup = home.file("备份.mdb");
    QTest::mouseClick(control("Optsave"), Qt::LeftButton, {}, QPoint(5, 5));
    path()->setText(backup);
    click("Cmdcopy");
    EXPECT_TRUE(recorder.messages.isEmpty()) << lastMessage().toStdString();
    EXPECT_EQ(readBytes(backup), readBytes(dataFile));
    EXPECT_EQ(waits, QList<int>{5000});
    EXPECT_EQ(shownDuringWait, (QList<bool>{false, false, true}));
    EXPECT_TRUE(path()->text().isEmpty());
    EXPECT_FALSE(control("Aniplay")->isVisible());
    EXPECT_TRUE(buttonsShown());
    EXPECT_EQ(control<QPushButton>("Cmdcopy")->text(), "数据备份");

    // And back: a herb added since is gone after the restore.
    addHerb(dataFile, "备份后加的药");
    QTest::mouseClick(control("Optcove"), Qt::LeftButton, {}, QPoint(5, 5));
    path()->setText(backup);
    click("Cmdcopy");
    EXPECT_TRUE(recorder.messages.isEmpty()) << lastMessage().toStdString();
    EXPECT_FALSE(herbNames(dataFile).contains("备份后加的药"));
    EXPECT_EQ(waits.size(), 2);
}

TEST_F(CopyScreen, MissingDataFileOrRefusedRestoreReportsAndKeepsThePath)
{
    const QByteArray seed = readBytes(dataFile);
    QFile::remove(dataFile);
    path()->setText(home.file("备份.mdb"));
    click("Cmdcopy");
    EXPECT_EQ(lastMessage(), "系统数据丢失，不能备份。");
    EXPECT_EQ(recorder.last().icon, ui::Icon::Information);
    EXPECT_TRUE(buttonsShown());
    EXPECT_FALSE(QFile::exists(home.file("备份.mdb")));

    writeBytes(dataFile, seed);
    writeBytes(home.file("坏文件.mdb"), QByteArray(4096, 'x'));
    QTest::mouseClick(control("Optcove"), Qt::LeftButton, {}, QPoint(5, 5));
    path()->setText(home.file("坏文件.mdb"));
    click("Cmdcopy");
    EXPECT_TRUE(lastMessage().startsWith(QStringLiteral("错误号码： %1\r\n错误内容：").arg(int(ds::ErrorCode::WrongPassword))))
        << lastMessage().toStdString();
    EXPECT_EQ(recorder.last().icon, ui::Icon::None);
    EXPECT_EQ(path()->text(), home.file("坏文件.mdb"));
    EXPECT_FALSE(control("Aniplay")->isVisible());
    EXPECT_TRUE(buttonsShown());
    EXPECT_TRUE(waits.isEmpty());
    EXPECT_EQ(readBytes(dataFile), seed);
}

TEST(AnimationPlayer, PlaysTheShippedClipOrAMovingBarWhenItIsMissing)
{
    maint::AnimationPlayer player;
    player.show();
    player.setAutoPlay(true);
    EXPECT_TRUE(player.open(CC_BUSY_CLIP));
    EXPECT_TRUE(player.showsClip());
    EXPECT_TRUE(player.isPlaying());
    player.closeClip();
    EXPECT_FALSE(player.isPlaying());

    EXPECT_FALSE(player.open("/nowhere/working.gif"));
    EXPECT_FALSE(player.showsClip());
    EXPECT_TRUE(player.isPlaying());
    player.closeClip();
    EXPECT_FALSE(player.isPlaying());
}

} // namespace

namespace {

TEST(OffWindowThread, WindowEventsRunWhileTheWorkRuns)
{
    // The work waits for a timer of the window thread: it only fires when that thread goes on
    // handling events during the work.
    std::atomic<bool> ticked{false};
    QTimer::singleShot(10, [&] { ticked = true; });
    bool sawTick = false;
    std::thread::id worker;
    maint::runOffWindowThread([&] {
        QDeadlineTimer deadline(5000);
        while (!ticked && !deadline.hasExpired())
            QThread::msleep(1);
        sawTick = ticked;
        worker = std::this_thread::get_id();
    });
    EXPECT_TRUE(sawTick);
    EXPECT_NE(worker, std::this_thread::get_id());
}

} // namespace
