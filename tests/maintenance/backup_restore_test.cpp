// Backup and restore on temporary folders: what reaches the data file, and what never does.
#include "maintenance/backup_restore.h"
#include "maintenance_fixture.h"

#include <sqlcipher/sqlite3.h>

namespace {

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

    TempHome home;
    QString dataFile = home.installSeed();
    QString backup = home.file("备份.mdb");
};

TEST_F(BackupRestore, RoundTripIsByteForByteAndKeepsTheReplacedFileOnce)
{
    maint::backUp(dataFile, backup);
    EXPECT_EQ(readBytes(backup), readBytes(dataFile));

    addHerb(dataFile, "备份后加的药");
    const QByteArray beforeRestore = readBytes(dataFile);
    maint::restore(backup, dataFile);
    EXPECT_EQ(readBytes(dataFile), readBytes(backup));
    EXPECT_FALSE(herbNames(dataFile).contains("备份后加的药"));
    EXPECT_EQ(readBytes(maint::replacedCopyPath(dataFile)), beforeRestore);

    // A second restore keeps only the file it replaced, in the same one place.
    maint::restore(backup, dataFile);
    EXPECT_EQ(readBytes(maint::replacedCopyPath(dataFile)), readBytes(backup));
    EXPECT_EQ(leftovers(home.paths().dataFolder, {"ccyc.mdb", "ccyc.mdb.bak"}), QStringList());
    EXPECT_EQ(leftovers(home.path(), {"ccdata", "备份.mdb"}), QStringList());
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
        {"half.mdb", [&](const QString &path) { writeBytes(path, seed.left(seed.size() / 2)); }, ds::ErrorCode::NotADatabase,
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
        EXPECT_FALSE(QFile::exists(maint::replacedCopyPath(dataFile))) << c.file;
    }
    EXPECT_EQ(leftovers(home.paths().dataFolder, {"ccyc.mdb"}), QStringList());
}

TEST_F(BackupRestore, AJournalBesideTheDataFileNeverUndoesARestore)
{
    addHerb(dataFile, "备份里的药");
    maint::backUp(dataFile, backup);
    crashInsideTransaction(dataFile);

    maint::restore(backup, dataFile);
    EXPECT_FALSE(QFile::exists(dataFile + "-journal"));
    const QStringList names = herbNames(dataFile);
    EXPECT_TRUE(names.contains("备份里的药"));
    EXPECT_FALSE(names.contains("未提交0"));
    EXPECT_EQ(readBytes(dataFile), readBytes(backup));
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

    maint::restore(other, dataFile);
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

    // A folder where the file should go: the rename fails and the folder stays.
    const QString folder = home.file("文件夹.mdb");
    QDir().mkpath(folder + "/里面");
    const std::optional<maint::CopyFailure> failure = maint::runCopy(maint::CopyMode::Backup, dataFile, folder);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->number, int(ds::ErrorCode::CannotWriteFile));
    EXPECT_TRUE(failure->description.contains("同名的文件夹")) << failure->description.toStdString();
    EXPECT_TRUE(QFileInfo(folder + "/里面").isDir());
    EXPECT_EQ(leftovers(home.path(), {"ccdata", "备份.mdb", "文件夹.mdb"}), QStringList());
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
