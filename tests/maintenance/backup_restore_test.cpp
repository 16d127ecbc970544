// Backup and restore on temporary folders: what reaches the data file, and what never does.
#include "datastore/kept_connection.h"
#include "maintenance/auto_backup.h"
#include "maintenance/backup_files.h"
#include "maintenance/backup_copy.h"
#include "maintenance/backup_facts.h"
#include "maintenance/backup_restore.h"
#include "maintenance_fixture.h"
#include "qstring_printer.h"
#include "scripted_file_layer.h"
#include "startup/start_notice.h"

#include <sqlcipher/sqlite3.h>

namespace {

// One byte flipped in a middle page: the whole-file check of a copy refuses it with 3347.
void damageMiddlePage(const QString &path)
{
    QByteArray bytes = readBytes(path);
    bytes[bytes.size() / 2048 * 1024 + 300] = char(bytes[bytes.size() / 2048 * 1024 + 300] ^ 0x5a);
    writeBytes(path, bytes);
}

class BackupRestore : public ::testing::Test {
protected:
    // Names of the files in the data folder and the backup folder besides the expected ones:
    // a temporary file left behind shows here.
    QStringList leftovers(const QString &folder, const QStringList &expected) const
    {
        QStringList names = QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
        for (const QString &name : expected)
            names.removeAll(name);
        return names;
    }

    // The files a restore kept in the backups folder, newest first.
    QStringList keptBeforeRestore() const
    {
        QStringList paths;
        for (const maint::KeptFile &file : maint::keptFiles(dataFile, maint::KeptKind::BeforeRestore))
            paths.append(file.path);
        return paths;
    }
    QString backupsFolder() const { return maint::backupsFolder(dataFile); }

    TempHome home;
    QString dataFile = home.installSeed();
    QString backup = home.file("备份.mdb");
};

TEST_F(BackupRestore, RoundTripIsByteForByteAndKeepsEachReplacedFile)
{
    maint::backUp(dataFile, backup);
    EXPECT_EQ(readBytes(backup), readBytes(dataFile));

    addHerb(dataFile, "备份后加的药");
    const QByteArray beforeRestore = readBytes(dataFile);
    ASSERT_FALSE(maint::runCopy(maint::CopyMode::Restore, dataFile, backup));
    EXPECT_EQ(readBytes(dataFile), readBytes(backup));
    EXPECT_FALSE(herbNames(dataFile).contains("备份后加的药"));
    ASSERT_EQ(keptBeforeRestore().size(), 1);
    EXPECT_EQ(readBytes(keptBeforeRestore()[0]), beforeRestore);

    // Restoring again (the wrong backup, then the right one) never overwrites what the first
    // restore kept, even within the same minute.
    ASSERT_FALSE(maint::runCopy(maint::CopyMode::Restore, dataFile, backup));
    const QStringList kept = keptBeforeRestore();
    ASSERT_EQ(kept.size(), 2);
    EXPECT_EQ(readBytes(kept[0]), readBytes(backup));
    EXPECT_EQ(readBytes(kept[1]), beforeRestore);
    EXPECT_EQ(leftovers(home.paths().dataFolder, {"ccyc.mdb", "backups"}), QStringList());
    EXPECT_EQ(leftovers(home.path(), {"ccdata", "备份.mdb"}), QStringList());

    // With no data file in place nothing is kept, and the message names no kept file.
    QFile::remove(dataFile);
    maint::Restored done{true, {}};
    ASSERT_FALSE(maint::runCopy(maint::CopyMode::Restore, dataFile, backup, {}, &done));
    EXPECT_FALSE(done.keptReplaced);
    EXPECT_EQ(keptBeforeRestore().size(), 2);
    EXPECT_EQ(maint::restoredMessage(backup, kept[0], done), "数据已经从 " + backup + " 恢复");
}

// Only the folder's sync fails, after the rename: the restored file is in place, so the
// restore is done, with a warning that a power cut may still take it back.
TEST_F(BackupRestore, ARestoreWhoseFolderCannotBeSyncedIsDoneWithAWarning)
{
    maint::backUp(dataFile, backup);
    addHerb(dataFile, "备份后加的药");
    QDir().mkpath(backupsFolder());
    const QString folder = QFileInfo(dataFile).absolutePath();
    QString renamed;
    ScriptedFileLayer layer([&](const QString &call, const QString &path) {
        renamed = call == "rename" ? path : renamed;
        return call == "fsync" && path == folder && QFileInfo(renamed).absolutePath() == folder ? EIO : 0;
    });
    maint::Restored done;
    ASSERT_FALSE(maint::runCopy(maint::CopyMode::Restore, dataFile, backup, {}, &done));
    EXPECT_EQ(readBytes(dataFile), readBytes(backup));
    EXPECT_TRUE(maint::restoredMessage(backup, keptBeforeRestore().value(0), done).contains("现在断电的话"));
}

TEST_F(BackupRestore, TheReadAfterARestoreSeesTheRestoredDataNotTheKeptPages)
{
    maint::backUp(dataFile, backup);
    addHerb(dataFile, "备份后加的药");
    ASSERT_TRUE(herbNames(dataFile).contains("备份后加的药"));
    const int served = ds::keptConnectionServed();
    ASSERT_TRUE(herbNames(dataFile).contains("备份后加的药"));
    ASSERT_GT(ds::keptConnectionServed(), served); // read from the pages kept in memory
    ASSERT_FALSE(maint::runCopy(maint::CopyMode::Restore, dataFile, backup));
    EXPECT_FALSE(herbNames(dataFile).contains("备份后加的药"));
    addHerb(dataFile, "恢复后加的药"); // and a write goes into the restored file
    EXPECT_TRUE(herbNames(dataFile).contains("恢复后加的药"));
}

TEST_F(BackupRestore, EveryUnfitSourceIsRefusedWithItsReasonAndTheDataFileStays)
{
    const QByteArray seed = readBytes(seedFilePath());
    const struct {
        const char *file;
        std::function<void(const QString &)> make;
        ds::ErrorCode code;
        const char *reason;
    } cases[] = {
        {"missing.mdb", [](const QString &) {}, ds::ErrorCode::FileNotFound, "找不到"},
        {"empty.mdb", [](const QString &path) { writeBytes(path, {}); }, ds::ErrorCode::EmptyFile, "长度为 0"},
        {"garbage.mdb", [](const QString &path) { writeBytes(path, QByteArray(8192, 'x')); }, ds::ErrorCode::WrongPassword,
         "损坏"},
        {"half.mdb", [&](const QString &path) { writeBytes(path, seed.left(seed.size() / 2)); }, ds::ErrorCode::DamagedFile,
         "损坏"},
        {"other.mdb",
         [](const QString &path) {
             ds::Database other = ds::Database::create(path, ";pwd=AnotherProgram99");
             other.execute("CREATE TABLE 账目 (金额 INTEGER)");
         },
         ds::ErrorCode::WrongPassword, "密码不正确"},
        {"plain.mdb",
         [](const QString &path) {
             sqlite3 *plain = nullptr;
             sqlite3_open(path.toUtf8().constData(), &plain);
             sqlite3_exec(plain, "CREATE TABLE 中医药材 (名称 TEXT);", nullptr, nullptr, nullptr);
             sqlite3_close(plain);
         },
         ds::ErrorCode::UnencryptedFile, "未加密"},
        {"tables.mdb",
         [](const QString &path) {
             ds::Database other = ds::Database::create(path, ds::kDataFileConnect);
             other.execute("CREATE TABLE 中医药材 (名称 TEXT)");
         },
         ds::ErrorCode::NotADatabase, "缺少数据表"},
    };
    addHerb(dataFile, "只在数据文件里");
    const QByteArray before = readBytes(dataFile);
    for (const auto &c : cases) {
        const QString source = home.file(c.file);
        c.make(source);
        const std::optional<maint::CopyFailure> failure = maint::runCopy(maint::CopyMode::Restore, dataFile, source);
        ASSERT_TRUE(failure) << c.file;
        EXPECT_EQ(failure->number, int(c.code)) << c.file;
        EXPECT_TRUE(failure->description.contains(c.reason)) << c.file << ": " << failure->description.toStdString();
        EXPECT_EQ(readBytes(dataFile), before) << c.file;
        EXPECT_TRUE(keptBeforeRestore().isEmpty()) << c.file;
    }
    EXPECT_EQ(leftovers(home.paths().dataFolder, {"ccyc.mdb"}), QStringList());
}

TEST_F(BackupRestore, AJournalBesideTheDataFileNeverUndoesARestore)
{
    addHerb(dataFile, "备份里的药");
    maint::backUp(dataFile, backup);
    crashInsideTransaction(dataFile);

    addHerb(backup, "只在备份里的药"); // the committed data file differs from the backup
    ASSERT_FALSE(maint::runCopy(maint::CopyMode::Restore, dataFile, backup));
    EXPECT_EQ(leftovers(home.paths().dataFolder, {"ccyc.mdb", "backups"}), QStringList());
    EXPECT_EQ(readBytes(dataFile), readBytes(backup));
    // The kept copy holds the replaced data as committed: its journal went with it and was
    // rolled back there.
    ASSERT_EQ(keptBeforeRestore().size(), 1);
    const QStringList kept = herbNames(keptBeforeRestore()[0]);
    EXPECT_TRUE(kept.contains("备份里的药"));
    EXPECT_FALSE(kept.contains("只在备份里的药"));
    EXPECT_FALSE(kept.contains("未提交0"));
    EXPECT_EQ(leftovers(backupsFolder(), {QFileInfo(keptBeforeRestore()[0]).fileName()}), QStringList());
}

TEST_F(BackupRestore, AJournalThatCannotBeHandledStopsTheRestoreAndChangesNothing)
{
    // Something in the journal's place that the engine cannot roll back nor the restore copy.
    maint::backUp(dataFile, backup);
    QDir().mkpath(dataFile + "-journal/里面");
    const QByteArray data = readBytes(dataFile);
    const std::optional<maint::CopyFailure> failure = maint::runCopy(maint::CopyMode::Restore, dataFile, backup);
    ASSERT_TRUE(failure);
    EXPECT_TRUE(failure->description.startsWith("数据文件的日志文件（" + dataFile + "-journal）不能处理，数据没有恢复"))
        << failure->description.toStdString();
    EXPECT_EQ(readBytes(dataFile), data);
    EXPECT_TRUE(QFileInfo(dataFile + "-journal/里面").isDir());
    EXPECT_EQ(leftovers(home.paths().dataFolder, {"ccyc.mdb", "ccyc.mdb-journal", "backups"}), QStringList());
    EXPECT_EQ(leftovers(backupsFolder(), {}), QStringList());
}

TEST_F(BackupRestore, BackupAfterACrashHoldsTheDataAsCommitted)
{
    addHerb(dataFile, "已提交的药");
    crashInsideTransaction(dataFile);
    maint::backUp(dataFile, backup);
    const QStringList names = herbNames(backup);
    EXPECT_TRUE(names.contains("已提交的药"));
    EXPECT_FALSE(names.contains("未提交0"));
}

TEST_F(BackupRestore, RestoredFileWithItsOwnSaltOpensWithTheKeyDerivedAgain)
{
    EXPECT_FALSE(herbNames(dataFile).contains("另一台电脑的药")); // the seed's key is now cached
    const QString other = home.file("另一台电脑.mdb");
    makeDataFileWithOwnSalt(other, "另一台电脑的药");
    ASSERT_NE(readBytes(other).left(16), readBytes(dataFile).left(16));

    ASSERT_FALSE(maint::runCopy(maint::CopyMode::Restore, dataFile, other));
    EXPECT_EQ(herbNames(dataFile), QStringList{"另一台电脑的药"});
}

TEST_F(BackupRestore, AFailedBackupLeavesTheOlderBackupOfThatName)
{
    maint::backUp(dataFile, backup);
    const QByteArray older = readBytes(backup);
    addHerb(dataFile, "新加的药");

    // A full disk: the copy stops long before the whole file is written.
    EXPECT_EQ(withFileSizeLimit(4096, [&] {
                  const std::optional<maint::CopyFailure> failure = maint::runCopy(maint::CopyMode::Backup, dataFile, backup);
                  ::_exit(failure && failure->number == int(ds::ErrorCode::DiskFull) ? 0 : 2);
              }),
              0);
    EXPECT_EQ(readBytes(backup), older);

    // The disk reports itself full at the first write of the copy.
    {
        ScriptedFileLayer full([](const QString &call, const QString &) { return call == "write" ? ENOSPC : 0; });
        const std::optional<maint::CopyFailure> failure = maint::runCopy(maint::CopyMode::Backup, dataFile, backup);
        ASSERT_TRUE(failure);
        EXPECT_EQ(failure->number, int(ds::ErrorCode::DiskFull));
        EXPECT_TRUE(failure->description.startsWith(ds::describe(ds::ErrorCode::DiskFull)));
        EXPECT_TRUE(failure->description.contains("磁盘空间不足）")) << failure->description.toStdString();
    }
    EXPECT_EQ(readBytes(backup), older);

    // A folder where the file should go: the rename fails and the folder stays.
    const QString folder = home.file("文件夹.mdb");
    QDir().mkpath(folder + "/里面");
    const std::optional<maint::CopyFailure> failure = maint::runCopy(maint::CopyMode::Backup, dataFile, folder);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->number, int(ds::ErrorCode::CannotWriteFile));
    EXPECT_TRUE(failure->description.contains("同名的文件夹")) << failure->description.toStdString();
    EXPECT_TRUE(QFileInfo(folder + "/里面").isDir());
    EXPECT_EQ(leftovers(home.path(), {"ccdata", "备份.mdb", "文件夹.mdb"}), QStringList());

    // A damaged data file is refused in words about the data file, naming it, not the copy.
    damageMiddlePage(dataFile);
    const std::optional<maint::CopyFailure> damaged = maint::runCopy(maint::CopyMode::Backup, dataFile, backup);
    ASSERT_TRUE(damaged);
    EXPECT_EQ(damaged->number, int(ds::ErrorCode::DamagedFile));
    EXPECT_EQ(damaged->description, "数据文件（" + dataFile + "）没有备份：" + ds::describe(ds::ErrorCode::DamagedFile));
    EXPECT_EQ(readBytes(backup), older);
}

TEST_F(BackupRestore, AFailedRestoreLeavesTheDataFileByteIdentical)
{
    maint::backUp(dataFile, backup);
    addHerb(dataFile, "新加的药");
    const QByteArray before = readBytes(dataFile);
    EXPECT_EQ(withFileSizeLimit(4096, [&] {
                  ::_exit(maint::runCopy(maint::CopyMode::Restore, dataFile, backup) ? 0 : 2);
              }),
              0);
    EXPECT_EQ(readBytes(dataFile), before);
    EXPECT_EQ(leftovers(home.paths().dataFolder, {"ccyc.mdb"}), QStringList());
}

TEST_F(BackupRestore, BackupOntoTheDataFileItselfOrWithoutADataFileIsRefused)
{
    const QByteArray before = readBytes(dataFile);
    EXPECT_TRUE(maint::runCopy(maint::CopyMode::Backup, dataFile, dataFile));
    EXPECT_TRUE(maint::runCopy(maint::CopyMode::Restore, dataFile, dataFile));
    EXPECT_EQ(readBytes(dataFile), before);
    QFile::remove(dataFile);
    const std::optional<maint::CopyFailure> failure = maint::runCopy(maint::CopyMode::Backup, dataFile, backup);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->description, "系统数据丢失，不能备份。");
    EXPECT_FALSE(QFile::exists(backup));
}

} // namespace

namespace {

const QDateTime kNow(QDate(2026, 12, 7), QTime(18, 30));

// A kept file saved `daysBack` days before kNow at the given time, by its name as the program
// writes it.
maint::KeptFile keptAt(int daysBack, const char *time = "09:00", int sequence = 1)
{
    const QDateTime at(kNow.date().addDays(-daysBack), QTime::fromString(time, "HH:mm"));
    return {QStringLiteral("/b/%1-%2").arg(at.toString("yyyyMMddHHmm")).arg(sequence), at, sequence};
}

TEST(KeptFilesRule, KeepsTheNewestOfSevenDaysAndOfFourWeeksAndTheNewestThreeRestored)
{
    const auto automatic = maint::KeptKind::Automatic;
    const auto restored = maint::KeptKind::BeforeRestore;
    const QList<maint::KeptFile> oneDay{keptAt(0, "17:00"), keptAt(0, "12:00"), keptAt(0, "11:00"),
                                        keptAt(0, "10:00"), keptAt(1, "10:00"), keptAt(1, "09:00")};
    const QList<maint::KeptFile> threeDays{keptAt(0, "17:00"), keptAt(1, "10:00"), keptAt(1, "09:00"), keptAt(2, "10:00"),
                                           keptAt(2, "09:00")};
    const struct {
        const char *what;
        QList<maint::KeptFile> newestFirst;
        maint::KeptKind kind;
        QList<int> prunedDaysBack;
    } cases[] = {
        {"a backup every day for 30 days", {}, automatic, {8, 9, 10, 11, 12, 13, 15, 16, 17, 18, 19, 20, 22, 23, 24, 25, 26, 27, 28, 29}},
        {"weekdays only: the seven newest days reach back eight",
         {keptAt(0), keptAt(1), keptAt(2), keptAt(3), keptAt(6), keptAt(7), keptAt(8), keptAt(9), keptAt(10), keptAt(13),
          keptAt(14), keptAt(15)},
         automatic,
         {9, 10, 13, 15}},
        {"nothing for weeks: the last ones are never all given up",
         {keptAt(40), keptAt(41), keptAt(50), keptAt(60), keptAt(61), keptAt(62), keptAt(70), keptAt(71)},
         automatic,
         {71}},
        {"restores of one day: the newest of the day, and the newest three",
         {keptAt(0, "17:00"), keptAt(0, "12:00"), keptAt(0, "11:00", 2), keptAt(0, "11:00"), keptAt(1, "10:00"),
          keptAt(1, "09:00")},
         restored,
         {0, 1}},
        {"restores: the newest three whatever their days", threeDays, restored, {2}},
        {"exits: today's newest three, each day before by its newest", oneDay, automatic, {0, 1}},
        {"exits of days that are over: their newest alone", threeDays, automatic, {1, 2}},
        {"named in the future: counted as made now, after today's",
         {keptAt(-7), keptAt(-6), keptAt(-5), keptAt(-4), keptAt(-3), keptAt(-2), keptAt(-1), keptAt(0, "18:30")},
         automatic,
         {-5, -4, -3, -2, -1}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        QList<maint::KeptFile> files = c.newestFirst;
        if (files.isEmpty()) {
            for (int day = 0; day < 30; ++day)
                files.append(keptAt(day));
        }
        QList<int> pruned;
        for (const maint::KeptFile &file : maint::filesToPrune(files, kNow, c.kind))
            pruned.append(int(file.savedAt.date().daysTo(kNow.date())));
        EXPECT_EQ(pruned, c.prunedDaysBack);
    }
}

TEST(RestoreQuestion, SaysWhoseDataTheBackupIsWhenItIsNotOurs)
{
    const maint::DataOwner ours{"一号诊所", {"张三"}};
    const struct {
        maint::DataOwner theirs;
        std::optional<maint::DataOwner> ours;
        const char *says; // empty: no line about the owner
    } cases[] = {
        {ours, ours, ""},
        {{"二号中医诊所", {"张三"}}, ours, "这个备份是“二号中医诊所”的数据，恢复后要用它的用户名和密码登录。它的用户名是“张三”。"},
        {{"一号诊所", {"李四", "王五"}}, ours, "用户名是“李四、王五”"},
        {{"", {}}, ours, "还没有设置用户名和密码"},
        {ours, std::nullopt, "“一号诊所”的数据"}, // ours cannot be read: a damaged data file
    };
    for (const auto &c : cases) {
        maint::BackupFacts facts;
        facts.owner = c.theirs;
        const QString question = maint::beforeRestoreQuestion("b.mdb", facts, "k.mdb", maint::Replaced::DataFile, c.ours);
        EXPECT_TRUE(*c.says ? question.section("\r\n", 1, 1).contains(c.says) : !question.contains("\r\n")) << c.says;
    }
}

class AutoBackup : public ::testing::Test {
protected:
    QString backupsFolder() const { return maint::backupsFolder(dataFile); }
    // Older automatic backups: only their names matter to the rule.
    void placeDailyBackups(int days)
    {
        QDir().mkpath(backupsFolder());
        for (int day = 1; day <= days; ++day)
            writeBytes(maint::newKeptPath(dataFile, maint::KeptKind::Automatic, kNow.addDays(-day)), "old");
    }
    QStringList backups() const { return QDir(backupsFolder()).entryList(QDir::Files, QDir::Name | QDir::Reversed); }

    TempHome home;
    QString dataFile = home.installSeed();
};

TEST_F(AutoBackup, EveryExitAfterAChangeCheckedLikeABackupThenTheOlderOnesArePruned)
{
    placeDailyBackups(25);
    const QString made = maint::autoBackUp(dataFile, kNow);
    EXPECT_EQ(QFileInfo(made).fileName(), "ccyc-2026-12-07-1830.mdb");
    EXPECT_EQ(readBytes(made), readBytes(dataFile));
    // Today and the six days before, and one of each of the three weeks before those.
    EXPECT_EQ(backups(), QStringList({"ccyc-2026-12-07-1830.mdb", "ccyc-2026-12-06-1830.mdb", "ccyc-2026-12-05-1830.mdb",
                                      "ccyc-2026-12-04-1830.mdb", "ccyc-2026-12-03-1830.mdb", "ccyc-2026-12-02-1830.mdb",
                                      "ccyc-2026-12-01-1830.mdb", "ccyc-2026-11-30-1830.mdb", "ccyc-2026-11-23-1830.mdb",
                                      "ccyc-2026-11-16-1830.mdb"}));

    // Each exit after a change makes one more; today's newest three stay. Without a change,
    // that day or the next, none is made.
    EXPECT_EQ(maint::autoBackUp(dataFile, kNow.addSecs(600)), QString());
    QString newest;
    for (int exit = 1; exit <= 3; ++exit) {
        addHerb(dataFile, QStringLiteral("晚上加的药%1").arg(exit));
        newest = maint::autoBackUp(dataFile, kNow.addSecs(exit * 3600));
        EXPECT_EQ(readBytes(newest), readBytes(dataFile));
    }
    EXPECT_EQ(backups().mid(0, 4), QStringList({"ccyc-2026-12-07-2130.mdb", "ccyc-2026-12-07-2030.mdb",
                                                "ccyc-2026-12-07-1930.mdb", "ccyc-2026-12-06-1830.mdb"}));
    EXPECT_EQ(maint::autoBackUp(dataFile, kNow.addDays(1)), QString());
}

// A clock once set ahead left backups named in the future: they never push today's out.
TEST_F(AutoBackup, BackupsNamedInTheFutureNeverPushTodaysOut)
{
    QDir().mkpath(backupsFolder());
    for (int day = 1; day <= 7; ++day)
        writeBytes(maint::newKeptPath(dataFile, maint::KeptKind::Automatic, kNow.addDays(day)), "ahead");
    const QString made = maint::autoBackUp(dataFile, kNow);
    EXPECT_EQ(readBytes(made), readBytes(dataFile));
    EXPECT_EQ(backups().size(), 3) << backups().join(' ').toStdString(); // counted as today's
}

TEST_F(AutoBackup, AFailureRemovesNoBackupIsLoggedAndToldOnceAtTheNextStart)
{
    placeDailyBackups(20);
    const QStringList before = backups();
    damageMiddlePage(dataFile);

    maint::autoBackUpAtExit(dataFile, kNow);
    EXPECT_EQ(backups(), before);
    const QString log = QString::fromUtf8(readBytes(QFileInfo(dataFile).absoluteDir().filePath("ccyc-backup.log")));
    // The refusal is the data file's, though the check read a temporary copy of it.
    EXPECT_TRUE(log.startsWith("2026-12-07 18:30 自动备份失败：错误号码 3347，数据文件（" + dataFile + "）没有备份：数据文件已经损坏"))
        << log.toStdString();
    EXPECT_FALSE(log.contains(".tmp-"));
    const QString folder = QFileInfo(dataFile).absolutePath();
    const QString notice = startup::takeNotice(folder);
    EXPECT_TRUE(notice.startsWith("上次退出系统时的自动备份没有完成。\n错误号码：3347\n错误内容：")) << notice.toStdString();
    EXPECT_EQ(startup::takeNotice(folder), QString());
}

} // namespace
