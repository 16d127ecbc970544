#include "datastore/data_file.h"
#include "datastore/errors.h"
#include "message_recorder.h"
#include "qstring_printer.h"
#include "startup/instance_lock.h"
#include "startup/mdiflanx.h"
#include "startup/modulanxia.h"
#include "startup/run_mode.h"
#include "startup/screens.h"
#include "startup/start_notice.h"
#include "startup/startup_logic.h"
#include "ui/pointer.h"
#include "windows.h"
#include "temp_data.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QPointer>
#include <QFile>
#include <QWidget>

#include <utility>

#include <gtest/gtest.h>

using Modulanxia::MainOutcome;

// One start of the program under a temporary home folder, with a program folder that holds
// the seed or not, and stand-in screens that note which one the start-up opened.
class MainRoads : public ::testing::Test {
protected:
    static constexpr const char *kStandIns[] = {"Frmmmwh", "FrmYhzl", "frmSplash", "FrmPict", "FrmHfbf"};

    void SetUp() override
    {
        QDir().mkpath(programFolder());
        QFile::copy(seedFilePath(), programFolder() + "/ccyc.mdb");
        ds::setProgramFolder(programFolder());
        for (const QString name : kStandIns) {
            startup::registerScreen(name, [this, name](QWidget *main) {
                // The picture window reads the data file on every road; the others are roads.
                if (name == QLatin1String("FrmPict"))
                    ++pictureReads;
                else
                    opened.append(name);
                auto *screen = new QWidget(main, Qt::Window);
                return screen;
            });
        }
    }
    void TearDown() override
    {
        Modulanxia::shutdown();
        for (const QString name : kStandIns)
            startup::unregisterScreen(name);
        ds::setProgramFolder(QString());
    }

    QString programFolder() const { return home.file("program"); }
    QString dataFile() const { return ds::dataPaths().dataFile; }
    void removeSeed() { QFile::remove(programFolder() + "/ccyc.mdb"); }
    // A data file past its first use: one user and the clinic's details.
    void installUsedDataFile()
    {
        home.installSeed();
        execute("INSERT INTO 密码表 VALUES ('张三', 'x', '1')");
        execute("INSERT INTO 用户资料 VALUES ('澄川中医门诊部', '杭州', '0571-1234567', '李四')");
    }
    void execute(const QString &sql) { ds::openDataFile(dataFile()).execute(sql); }
    bool anyMenuEnabled() const
    {
        for (const QString &menu : startup::lockableMenus()) {
            if (programWindow()->isMenuEnabled(menu))
                return true;
        }
        return false;
    }

    TempHome home;
    MessageRecorder recorder;
    QStringList opened;
    int pictureReads = 0;
};

TEST_F(MainRoads, FirstStartMakesTheDataFolderCopiesTheSeedAndAsksForAPassword)
{
    ASSERT_FALSE(QDir(home.file("ccdata")).exists());
    EXPECT_EQ(Modulanxia::Main(), MainOutcome::Running);
    EXPECT_TRUE(QFile::exists(dataFile()));
    ASSERT_EQ(recorder.messages.size(), 1);
    EXPECT_EQ(recorder.last().text, "初次使用系统　请先登录系统启动密码内容");
    EXPECT_EQ(recorder.last().icon, ui::Icon::Exclamation);
    EXPECT_EQ(recorder.last().title, QString());
    EXPECT_EQ(opened, QStringList({"Frmmmwh"}));
    EXPECT_EQ(startup::runMode(), "000");
    ASSERT_TRUE(programWindow());
    EXPECT_EQ(programWindow()->windowTitle(), "欢迎使用澄川本草");
    EXPECT_TRUE(programWindow()->isMaximized());
    EXPECT_FALSE(anyMenuEnabled());
}

TEST_F(MainRoads, ExistingDataFileIsNeverOverwrittenAndNeedsNoSeed)
{
    home.installSeed();
    execute("INSERT INTO 密码表 VALUES ('张三', 'x', '1')");
    removeSeed();
    EXPECT_EQ(Modulanxia::Main(), MainOutcome::Running);
    EXPECT_EQ(ds::openDataFile(dataFile()).openTable("密码表").recordCount(), 1);
    EXPECT_EQ(opened, QStringList({"FrmYhzl"}));
}

TEST_F(MainRoads, BothFilesMissingEndsWithDataLost)
{
    removeSeed();
    EXPECT_EQ(Modulanxia::Main(), MainOutcome::DataLost);
    ASSERT_EQ(recorder.messages.size(), 1);
    EXPECT_EQ(recorder.last().text, "系统数据丢失，请将原系统卸载，重新安装。");
    EXPECT_EQ(recorder.last().icon, ui::Icon::Question);
    EXPECT_EQ(recorder.last().buttons, ui::Buttons::Ok);
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_FALSE(programWindow());
}

TEST_F(MainRoads, PasswordRowWithNullNameStillAsksForAPassword)
{
    home.installSeed();
    execute("INSERT INTO 密码表 (姓名, 密码) VALUES (NULL, 'x')");
    EXPECT_EQ(Modulanxia::Main(), MainOutcome::Running);
    EXPECT_EQ(opened, QStringList({"Frmmmwh"}));
    EXPECT_EQ(startup::runMode(), "000");
}

TEST_F(MainRoads, EmptyClinicTableAsksForTheClinic)
{
    home.installSeed();
    execute("INSERT INTO 密码表 VALUES ('张三', 'x', '1')");
    EXPECT_EQ(Modulanxia::Main(), MainOutcome::Running);
    ASSERT_EQ(recorder.messages.size(), 1);
    EXPECT_EQ(recorder.last().text, "初次使用系统　请先登录用户资料内容");
    EXPECT_EQ(recorder.last().icon, ui::Icon::Exclamation);
    EXPECT_EQ(opened, QStringList({"FrmYhzl"}));
    EXPECT_EQ(startup::runMode(), "000");
    startup::unlockMenus(); // what the clinic screen does when it closes
    EXPECT_TRUE(programWindow()->isMenuEnabled("xtwh"));
    EXPECT_FALSE(programWindow()->isMenuEnabled("ZysjDl"));
}

TEST_F(MainRoads, NormalRoadShowsTheSplashAndLeavesExactlyTwoStoredQueries)
{
    installUsedDataFile();
    {
        ds::Database db = ds::openDataFile(dataFile());
        db.createQuery("yhmm", "SELECT * FROM 密码表");
        db.createQuery("旧的", "SELECT * FROM 中医药材");
    }
    EXPECT_EQ(Modulanxia::Main(), MainOutcome::Running);
    EXPECT_TRUE(recorder.messages.isEmpty());
    EXPECT_EQ(opened, QStringList({"frmSplash"}));
    EXPECT_EQ(startup::runMode(), "");
    EXPECT_EQ(ds::openDataFile(dataFile()).queryNames(), QStringList({"000", "001"}));
    EXPECT_FALSE(anyMenuEnabled());
    startup::unlockMenus(); // what a successful login does
    for (const QString &menu : startup::lockableMenus())
        EXPECT_TRUE(programWindow()->isMenuEnabled(menu)) << menu.toStdString();
}

// Start-up brings its own password: a file it does not open is damaged or foreign, and a
// backup can replace it.
TEST_F(MainRoads, DataFileWithAnotherPasswordIsOfferedARestoreAndEndsOnNo)
{
    QDir().mkpath(home.file("ccdata"));
    {
        ds::Database other = ds::Database::create(dataFile(), ";pwd=AnotherPassword99");
        other.execute("CREATE TABLE t (a)");
    }
    recorder.answerNext(ui::Answer::No);
    EXPECT_EQ(Modulanxia::Main(), MainOutcome::Failed);
    ASSERT_EQ(recorder.messages.size(), 2); // the question, then what follows
    EXPECT_TRUE(recorder.messages[0].text.contains("（错误号码：3031）")) << recorder.messages[0].text.toStdString();
    EXPECT_EQ(recorder.messages[0].icon, ui::Icon::Question);
    EXPECT_TRUE(opened.isEmpty());
}

TEST_F(MainRoads, SecondCopyIsRefusedAndTouchesNoFile)
{
    startup::InstanceLock running(startup::instanceLockPath(home.path()));
    ASSERT_TRUE(running.tryAcquire());
    EXPECT_EQ(Modulanxia::Main(), MainOutcome::SecondCopy);
    ASSERT_EQ(recorder.messages.size(), 1);
    EXPECT_EQ(recorder.last().text, "程序已经开始运行");
    EXPECT_EQ(recorder.last().icon, ui::Icon::Information);
    EXPECT_FALSE(QDir(home.file("ccdata")).exists());
    EXPECT_FALSE(programWindow());
}

TEST_F(MainRoads, ALockThatCannotBeTakenForAnotherReasonIsAnErrorNotASecondCopy)
{
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(this->home.file("no-such-home")));
    const MainOutcome outcome = Modulanxia::Main();
    qputenv("HOME", home);
    EXPECT_EQ(outcome, MainOutcome::Failed);
    ASSERT_EQ(recorder.messages.size(), 1);
    EXPECT_TRUE(recorder.last().text.startsWith("错误号码： 75\r\n错误内容：")) << recorder.last().text.toStdString();
    EXPECT_EQ(recorder.last().icon, ui::Icon::None);
    EXPECT_FALSE(programWindow());
}

TEST_F(MainRoads, DataFolderThatCannotBeMadeIsAnError)
{
    // The data folder's place is taken by a plain file, so the folder cannot be made.
    QFile blocker(home.file("ccdata"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_EQ(Modulanxia::Main(), MainOutcome::Failed);
    ASSERT_EQ(recorder.messages.size(), 1);
    EXPECT_TRUE(recorder.last().text.startsWith("错误号码： 3054\r\n")) << recorder.last().text.toStdString();
}

TEST_F(MainRoads, ScreenCommandsLockTheMenusAndAMissingScreenGivesThemBack)
{
    installUsedDataFile();
    ASSERT_EQ(Modulanxia::Main(), MainOutcome::Running);
    startup::unlockMenus();
    startup::MDIFlanx *window = programWindow();

    startup::unregisterScreen("Frmzyyc");
    window->findChild<QAction *>("ZysjDl0")->trigger();
    EXPECT_TRUE(window->isMenuEnabled("ZysjDl")); // nothing opened: the menus are back

    QPointer<QWidget> entry;
    startup::registerScreen("Frmzyyc", [&entry](QWidget *main) {
        entry = new QWidget(main, Qt::Window);
        return entry.data();
    });
    window->findChild<QAction *>("ZysjDl0")->trigger();
    startup::unregisterScreen("Frmzyyc");
    ASSERT_TRUE(entry);
    EXPECT_TRUE(entry->isVisible());
    EXPECT_FALSE(anyMenuEnabled());
    EXPECT_EQ(entry->objectName(), "Frmzyyc");
}

TEST_F(MainRoads, AMenuCommandRunsItsScreensPreparationFirstUnderLockedMenus)
{
    installUsedDataFile();
    ASSERT_EQ(Modulanxia::Main(), MainOutcome::Running);
    startup::unlockMenus();
    startup::MDIFlanx *window = programWindow();
    QStringList steps;
    bool madeOne = true;
    startup::registerScreen(
        "Frmzyll",
        [&](QWidget *main) -> QWidget * {
            steps.append("make");
            return madeOne ? new QWidget(main, Qt::Window) : nullptr;
        },
        [&](QWidget *main) {
            steps.append("prepare");
            EXPECT_EQ(main, window);
            EXPECT_TRUE(ui::isPointerBusy());
            EXPECT_FALSE(anyMenuEnabled());
        });
    window->findChild<QAction *>("zycxll0")->trigger();
    EXPECT_EQ(steps, QStringList({"prepare", "make"}));
    EXPECT_FALSE(anyMenuEnabled());
    EXPECT_TRUE(ui::isPointerBusy()); // the screen sets the arrow back itself

    // Prepared, but no screen after all: the menus and the arrow come back.
    startup::unlockMenus();
    madeOne = false;
    steps.clear();
    window->findChild<QAction *>("zycxll0")->trigger();
    startup::unregisterScreen("Frmzyll");
    EXPECT_EQ(steps, QStringList({"prepare", "make"}));
    EXPECT_TRUE(anyMenuEnabled());
    EXPECT_FALSE(ui::isPointerBusy());

    // Shown directly (start-up's screens, the help pictures' tool) a screen is not prepared.
    startup::registerScreen("Frmzyll", [](QWidget *main) { return new QWidget(main, Qt::Window); },
                            [&](QWidget *) { steps.append("prepare"); });
    steps.clear();
    delete startup::showScreen("Frmzyll");
    startup::unregisterScreen("Frmzyll");
    EXPECT_TRUE(steps.isEmpty());
}

TEST_F(MainRoads, AScreenThatFailsToOpenShowsTheErrorBoxAndGivesTheMenusBack)
{
    installUsedDataFile();
    ASSERT_EQ(Modulanxia::Main(), MainOutcome::Running);
    startup::unlockMenus();
    startup::MDIFlanx *window = programWindow();
    const auto failing = [](QWidget *) -> QWidget * { throw ds::RunError(ds::ErrorCode::FileNotFound); };

    for (const auto &[command, screen] : {std::pair{"cc", "Frmcopy"}, std::pair{"xtxx", "frmAbout"}}) {
        SCOPED_TRACE(command);
        startup::registerScreen(screen, failing);
        recorder.messages.clear();
        window->findChild<QAction *>(command)->trigger();
        startup::unregisterScreen(screen);
        ASSERT_EQ(recorder.messages.size(), 1);
        EXPECT_EQ(recorder.last().text, "错误号码： 3024\r\n错误内容：" + ds::describe(ds::ErrorCode::FileNotFound));
        EXPECT_FALSE(ui::isPointerBusy());
        for (const QString &menu : startup::lockableMenus())
            EXPECT_TRUE(window->isMenuEnabled(menu)) << menu.toStdString();
    }
}

TEST_F(MainRoads, EngineWithoutEncryptionIsRefusedBeforeAnyFileIsTouched)
{
    EXPECT_NO_THROW(startup::requireCipher(ds::cipherVersion()));
    try {
        startup::requireCipher(QString());
        ADD_FAILURE() << "an engine without a cipher version was accepted";
    } catch (const ds::RunError &error) {
        EXPECT_EQ(error.number(), int(ds::ErrorCode::NoCipher));
    }
    EXPECT_EQ(Modulanxia::Main(), MainOutcome::Running); // the linked engine passes the self-check
}

TEST_F(MainRoads, AJournalLeftByARemovedDataFileIsNotRolledIntoTheFreshCopy)
{
    // An earlier data file (a copy of the same seed) with a user, caught in the middle of a
    // change: its journal holds its old pages. The file is then removed and the journal stays.
    QDir().mkpath(home.file("ccdata"));
    const QString old = copySeedTo(home.file("old.mdb"));
    ds::openDataFile(old).execute("INSERT INTO 密码表 VALUES ('张三', 'x', '1')");
    {
        ds::Database db = ds::openDataFile(old);
        db.execute("PRAGMA synchronous = OFF");
        ds::Transaction change(db);
        db.execute("DELETE * FROM 密码表");
        ASSERT_TRUE(QFile::exists(old + "-journal"));
        ASSERT_TRUE(QFile::copy(old + "-journal", dataFile() + "-journal"));
    }

    EXPECT_EQ(Modulanxia::Main(), MainOutcome::Running);
    EXPECT_FALSE(QFile::exists(dataFile() + "-journal"));
    EXPECT_EQ(opened, QStringList({"Frmmmwh"})); // the fresh copy has no user
    EXPECT_EQ(ds::openDataFile(dataFile()).openTable("密码表").recordCount(), 0);
}

TEST_F(MainRoads, ADamagedDataFileIsCheckedBeforeAnythingReadsItAndOffersARestore)
{
    installUsedDataFile();
    QFile file(dataFile());
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.seek(file.size() / 2048 * 1024 + 300); // a byte in a middle page
    const char flipped = char(file.peek(1)[0] ^ 0x5a);
    file.write(&flipped, 1);
    file.close();

    recorder.answerNext(ui::Answer::No);
    EXPECT_EQ(Modulanxia::Main(), MainOutcome::Failed);
    ASSERT_EQ(recorder.messages.size(), 2);
    EXPECT_EQ(recorder.last().text, "程序将退出，数据文件没有改动，可以以后再恢复。");
    const ui::Message question = recorder.messages[0];
    EXPECT_TRUE(question.text.startsWith("数据文件已经损坏：" + dataFile())) << question.text.toStdString();
    EXPECT_TRUE(question.text.contains("（错误号码：3347）")) << question.text.toStdString();
    EXPECT_TRUE(question.text.endsWith("是否现在从备份恢复？"));
    EXPECT_EQ(question.icon, ui::Icon::Question);
    EXPECT_EQ(question.buttons, ui::Buttons::YesNo);
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_EQ(pictureReads, 0); // nothing reads the file before its whole check
    Modulanxia::shutdown();

    EXPECT_EQ(Modulanxia::Main(), MainOutcome::Running);
    EXPECT_EQ(opened, QStringList({"FrmHfbf"}));
    EXPECT_EQ(pictureReads, 0);
    Modulanxia::shutdown();

    // A build without the recovery window shows the error box as before.
    startup::unregisterScreen("FrmHfbf");
    recorder.messages.clear();
    EXPECT_EQ(Modulanxia::Main(), MainOutcome::Failed);
    ASSERT_EQ(recorder.messages.size(), 1);
    EXPECT_TRUE(recorder.last().text.startsWith("错误号码： 3347\r\n错误内容：")) << recorder.last().text.toStdString();
}

TEST_F(MainRoads, WhatCouldNotBeToldAtTheEndIsToldOnceAtTheNextStart)
{
    installUsedDataFile();
    startup::leaveNotice(home.file("ccdata"), "上次退出系统时的自动备份没有完成。");
    EXPECT_EQ(Modulanxia::Main(), MainOutcome::Running);
    EXPECT_EQ(recorder.texts(), QStringList({"上次退出系统时的自动备份没有完成。"}));
    EXPECT_EQ(recorder.last().icon, ui::Icon::Information);
    Modulanxia::shutdown();
    EXPECT_EQ(Modulanxia::Main(), MainOutcome::Running);
    EXPECT_EQ(recorder.messages.size(), 1);
}
