// The backup and restore screen driven through its controls, on the offscreen platform.
#include "maintenance/animation_player.h"
#include "maintenance/backup_copy.h"
#include "maintenance/backup_files.h"
#include "maintenance/auto_backup.h"
#include "maintenance/frmcopy.h"
#include "maintenance/frmhfbf.h"
#include "startup/modulanxia.h"
#include "startup/startup_logic.h"
#include "maintenance/off_thread.h"
#include "screen_fixture.h"
#include "ui/error_box.h"
#include "ui/pointer.h"

#include <QDeadlineTimer>
#include <QLabel>
#include <QTreeWidget>
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
        // A kept file (.bak) can be chosen too.
        EXPECT_EQ(dialogs.requests.last().filter, "数据库文件(*.mdb *.bak)");
        EXPECT_EQ(dialogs.requests.last().folder, home.path());
        EXPECT_EQ(path()->text(), home.file(" 选中.mdb ").trimmed());
        // Cancelling keeps what is there; Enter in the box asks as the button does.
        QTest::keyClick(path(), Qt::Key_Return);
        EXPECT_EQ(dialogs.requests.last().mode, m.dialog);
        EXPECT_EQ(path()->text(), home.file(" 选中.mdb ").trimmed());
        EXPECT_EQ(dialogs.requests.size(), asked += 2);
    }
    // Once the program keeps backups, a restore starts where they are; a backup does not.
    QDir().mkpath(maint::backupsFolder(dataFile));
    for (const auto &m : modes) {
        QTest::mouseClick(control(m.option), Qt::LeftButton, {}, QPoint(5, 5));
        click("CmdPath");
        EXPECT_EQ(dialogs.requests.last().folder,
                  m.dialog == ui::FileDialogMode::Open ? maint::backupsFolder(dataFile) : home.path());
    }
}

TEST_F(CopyScreen, BackupCopiesThenWaitsWithTheClipAndTellsWhereTheDataWent)
{
    const QString backup = home.file("备份.mdb");
    QTest::mouseClick(control("Optsave"), Qt::LeftButton, {}, QPoint(5, 5));
    path()->setText(backup);
    click("Cmdcopy");
    EXPECT_EQ(recorder.texts(), QStringList{"数据已经备份到 " + backup});
    EXPECT_EQ(recorder.last().icon, ui::Icon::Information);
    EXPECT_EQ(readBytes(backup), readBytes(dataFile));
    EXPECT_EQ(waits, QList<int>{5000});
    EXPECT_EQ(shownDuringWait, (QList<bool>{false, false, true}));
    EXPECT_TRUE(path()->text().isEmpty());
    EXPECT_FALSE(control("Aniplay")->isVisible());
    EXPECT_TRUE(buttonsShown());
    EXPECT_EQ(control<QPushButton>("Cmdcopy")->text(), "数据备份");
}

TEST_F(CopyScreen, RestoreAsksWithTheBackupsDateAndHerbsThenTellsWhereTheOldDataWent)
{
    const QString backup = home.file("备份.mdb");
    maint::backUp(dataFile, backup);
    const QString saved = QFileInfo(backup).lastModified().toString("yyyy-MM-dd HH:mm");
    const int herbs = herbNames(backup).size();
    addHerb(dataFile, "备份后加的药");
    const QByteArray replaced = readBytes(dataFile);
    QTest::mouseClick(control("Optcove"), Qt::LeftButton, {}, QPoint(5, 5));

    // 否 changes nothing and keeps the path.
    recorder.answerNext(ui::Answer::No);
    path()->setText(backup);
    click("Cmdcopy");
    ASSERT_EQ(recorder.messages.size(), 1);
    const QString question = recorder.last().text;
    const QString keptPrefix = maint::backupsFolder(dataFile) + "/ccyc-before-restore-";
    EXPECT_TRUE(question.startsWith(QStringLiteral("将用备份文件 %1（保存于 %2，药材 %3 味）替换现有的全部数据，现有数据另存为 %4")
                                        .arg(backup, saved)
                                        .arg(herbs)
                                        .arg(keptPrefix)))
        << question.toStdString();
    EXPECT_TRUE(question.endsWith(".mdb。继续吗？")) << question.toStdString();
    EXPECT_EQ(recorder.last().icon, ui::Icon::Question);
    EXPECT_EQ(recorder.last().buttons, ui::Buttons::YesNo);
    EXPECT_EQ(readBytes(dataFile), replaced);
    EXPECT_FALSE(QDir(maint::backupsFolder(dataFile)).exists());
    EXPECT_EQ(path()->text(), backup);
    EXPECT_TRUE(waits.isEmpty());
    EXPECT_TRUE(buttonsShown());

    // 是, the default: restored, and the replaced data kept where the question said.
    click("Cmdcopy");
    ASSERT_EQ(recorder.messages.size(), 3);
    const QString kept = recorder.messages[1].text.section("现有数据另存为 ", 1).chopped(QStringLiteral("。继续吗？").size());
    EXPECT_EQ(recorder.last().text, QStringLiteral("数据已经从 %1 恢复，原有数据另存为 %2").arg(backup, kept));
    EXPECT_EQ(recorder.last().icon, ui::Icon::Information);
    EXPECT_EQ(readBytes(dataFile), readBytes(backup));
    EXPECT_FALSE(herbNames(dataFile).contains("备份后加的药")); // read at once, not from kept pages
    EXPECT_EQ(readBytes(kept), replaced);
    EXPECT_EQ(waits, QList<int>{5000});
    EXPECT_TRUE(path()->text().isEmpty());
}

TEST_F(CopyScreen, RestoringAnotherClinicsBackupSaysWhoseDataItIs)
{
    const QString backup = home.file("二号.mdb");
    maint::backUp(dataFile, backup);
    ds::openDataFile(backup).execute("INSERT INTO 用户资料 VALUES ('二号中医诊所', '城南路一号', '1234567', '王五')");
    ds::openDataFile(backup).execute("INSERT INTO 密码表 VALUES ('王五', 'x', '1')");
    QTest::mouseClick(control("Optcove"), Qt::LeftButton, {}, QPoint(5, 5));
    recorder.answerNext(ui::Answer::No);
    path()->setText(backup);
    click("Cmdcopy");
    EXPECT_TRUE(lastMessage().contains("\r\n这个备份是“二号中医诊所”的数据，恢复后要用它的用户名和密码登录。它的用户名是“王五”。\r\n继续吗？"))
        << lastMessage().toStdString();
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

// The recovery window, opened as start-up opens it on a damaged data file.
class RecoveryScreen : public MaintenanceScreen {
protected:
    RecoveryScreen()
    {
        startup::registerScreen(Modulanxia::kRecoveryScreen, [](QWidget *main) {
            auto *recovery = new maint::FrmHfbf(main);
            QObject::connect(recovery, &maint::FrmHfbf::restored, &Modulanxia::restart);
            return recovery;
        });
    }
    ~RecoveryScreen() override
    {
        Modulanxia::shutdown();
        startup::unregisterScreen(Modulanxia::kRecoveryScreen);
    }
    QStringList row(int index) const
    {
        QTreeWidgetItem *item = list()->topLevelItem(index);
        return item ? QStringList{item->text(0), item->text(1), item->text(2), item->text(3)} : QStringList();
    }
    QTreeWidget *list() const { return control<QTreeWidget>("Lstbf"); }
    QList<maint::KeptFile> keptDamaged() const { return maint::keptFiles(dataFile, maint::KeptKind::Damaged); }
};

TEST_F(RecoveryScreen, ListsEveryCopyToRestoreFromNewestFirstWithItsKindButNoDamagedOne)
{
    const QDateTime now = QDateTime::currentDateTime();
    const int herbs = herbNames(dataFile).size();
    maint::autoBackUp(dataFile, now.addDays(-2));
    addHerb(dataFile, "前天以后加的药");
    const QString newest = maint::autoBackUp(dataFile, now.addDays(-1));
    writeBytes(maint::newKeptPath(dataFile, maint::KeptKind::Automatic, now.addDays(-3)), QByteArray(4096, 'x'));
    maint::backUp(dataFile, maint::newKeptPath(dataFile, maint::KeptKind::BeforeRestore, now.addSecs(-7200)));
    maint::keepBeforeImport(dataFile, now.addSecs(-3600));
    maint::backUp(dataFile, maint::newKeptPath(dataFile, maint::KeptKind::Damaged, now));

    open(Modulanxia::kRecoveryScreen);
    EXPECT_EQ(screen->windowTitle(), "从备份恢复数据");
    QStringList kinds;
    for (int i = 0; i < list()->topLevelItemCount(); ++i)
        kinds.append(row(i)[0]);
    EXPECT_EQ(kinds, QStringList({"导入前的数据", "恢复前的数据", "自动备份", "自动备份", "自动备份"}));
    const QString size = QStringLiteral("%1 KB").arg((QFileInfo(newest).size() + 1023) / 1024);
    EXPECT_EQ(row(2), QStringList({"自动备份", now.addDays(-1).toString("yyyy-MM-dd HH:mm"), QStringLiteral("%1 味").arg(herbs + 1), size}));
    EXPECT_EQ(row(3)[2], QStringLiteral("%1 味").arg(herbs));
    EXPECT_EQ(row(4)[2], "不能读取");
    EXPECT_EQ(list()->currentItem(), list()->topLevelItem(0));
    EXPECT_EQ(screen->focusWidget(), list());
    EXPECT_TRUE(control("Cmdhf")->isVisible());
    EXPECT_FALSE(control("CmdSeed")->isVisible());
}

TEST_F(RecoveryScreen, AChosenFileIsAskedForThenRestoredAndLeavingEndsTheProgramSayingSo)
{
    const QByteArray damaged = readBytes(dataFile);
    open(Modulanxia::kRecoveryScreen);
    EXPECT_EQ(list()->topLevelItemCount(), 0);
    EXPECT_FALSE(control("Cmdhf")->isVisible());

    // A file that is no backup is refused before any question; another can be chosen.
    writeBytes(home.file("坏的.bak"), QByteArray(4096, 'x'));
    dialogs.answerNext(home.file("坏的.bak"));
    click("CmdPath");
    EXPECT_EQ(dialogs.requests.last().filter, "数据库文件(*.mdb *.bak)");
    EXPECT_EQ(dialogs.requests.last().folder, maint::backupsFolder(dataFile));
    EXPECT_TRUE(lastMessage().startsWith("错误号码： 3031\r\n错误内容：")) << lastMessage().toStdString();
    EXPECT_TRUE(screen->isVisible());
    EXPECT_EQ(recorder.programEnds, 0);

    // 否 to the question changes nothing; leaving ends the program and says what follows.
    const QString good = home.file("另一台电脑.bak");
    makeDataFileWithOwnSalt(good, "另一台电脑的药");
    recorder.answerNext(ui::Answer::No);
    dialogs.answerNext(good);
    click("CmdPath");
    EXPECT_TRUE(lastMessage().startsWith(QStringLiteral("将用备份文件 %1（").arg(good))) << lastMessage().toStdString();
    EXPECT_TRUE(lastMessage().contains("损坏的数据文件另存为 " + maint::backupsFolder(dataFile) + "/ccyc-damaged-"));
    click("Cmdexit");
    EXPECT_EQ(lastMessage(), startup::restoreLaterNotice());
    EXPECT_EQ(recorder.programEnds, 1);
    EXPECT_EQ(readBytes(dataFile), damaged);
    EXPECT_TRUE(keptDamaged().isEmpty());

    // 是: restored, the replaced one kept as damaged, and start-up begins again.
    recorder.programEnds = 0;
    recorder.messages.clear();
    open(Modulanxia::kRecoveryScreen);
    dialogs.answerNext(good);
    click("CmdPath");
    ASSERT_EQ(keptDamaged().size(), 1);
    EXPECT_EQ(readBytes(keptDamaged()[0].path), damaged);
    EXPECT_EQ(recorder.texts().value(1), QStringLiteral("数据已经从 %1 恢复，原有数据另存为 %2").arg(good, keptDamaged()[0].path));
    EXPECT_EQ(herbNames(dataFile), QStringList({"另一台电脑的药"}));
    ASSERT_TRUE(programWindow()); // started again: the file has no user yet
    EXPECT_EQ(recorder.texts().value(2), "初次使用系统　请先登录系统启动密码内容");
    EXPECT_EQ(recorder.programEnds, 0);
}

TEST_F(RecoveryScreen, WithNoCopyAtAllItOffersTheShippedHerbTableKeepingTheDamagedFile)
{
    ds::setProgramFolder(QFileInfo(seedFilePath()).absolutePath());
    writeBytes(dataFile, QByteArray(8192, 'x'));
    open(Modulanxia::kRecoveryScreen);
    EXPECT_TRUE(control("CmdSeed")->isVisible());
    recorder.answerNext(ui::Answer::No);
    click("CmdSeed");
    EXPECT_EQ(recorder.last().defaultAnswer, ui::Answer::No);
    EXPECT_TRUE(lastMessage().contains("损坏的数据文件会另存为 " + maint::backupsFolder(dataFile) + "/ccyc-damaged-"));
    EXPECT_EQ(readBytes(dataFile), QByteArray(8192, 'x'));

    click("CmdSeed");
    ASSERT_EQ(keptDamaged().size(), 1);
    EXPECT_EQ(readBytes(keptDamaged()[0].path), QByteArray(8192, 'x'));
    EXPECT_EQ(herbNames(dataFile), herbNames(seedFilePath()));
    EXPECT_TRUE(programWindow());
    EXPECT_EQ(recorder.programEnds, 0);
    ds::setProgramFolder(QString());
}

TEST_F(RecoveryScreen, APressWhileTheRestoreRunsStartsNoSecondRestore)
{
    maint::autoBackUp(dataFile, QDateTime::currentDateTime().addDays(-1));
    open(Modulanxia::kRecoveryScreen);
    // The button pressed again and the backup activated while the first restore runs off the
    // window thread, the window's events still running.
    bool duringRestore = false;
    QTimer::singleShot(0, screen, [&] {
        duringRestore = screen->isVisible() && ui::isPointerBusy();
        click("Cmdhf");
        emit list()->itemActivated(list()->currentItem(), 0);
    });
    click("Cmdhf");
    EXPECT_TRUE(duringRestore);
    EXPECT_EQ(keptDamaged().size(), 1);
    EXPECT_EQ(recorder.texts().filter("数据已经从").size(), 1) << recorder.texts().join('|').toStdString();
    EXPECT_EQ(recorder.programEnds, 0);
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
