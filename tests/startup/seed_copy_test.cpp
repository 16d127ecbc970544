#include "datastore/data_file.h"
#include "datastore/errors.h"
#include "startup/startup_logic.h"
#include "temp_data.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <csignal>
#include <sys/resource.h>

#include <gtest/gtest.h>

namespace {

// After a failed first start: no data file, whole or partial, and nothing beside it.
void expectNothingLeft(const ds::DataPaths &paths)
{
    EXPECT_FALSE(QFileInfo::exists(paths.dataFile));
    EXPECT_EQ(QDir(paths.dataFolder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
}

// The next start copies the seed whole and opens it.
void expectNextStartWorks(const ds::DataPaths &paths)
{
    startup::setFileSync({});
    ASSERT_EQ(startup::ensureDataFile(paths), startup::DataFileState::Ready);
    EXPECT_EQ(QFileInfo(paths.dataFile).size(), QFileInfo(seedFilePath()).size());
    EXPECT_NO_THROW(startup::openCheck(paths.dataFile));
}

int errorNumber(const ds::DataPaths &paths)
{
    try {
        startup::ensureDataFile(paths);
    } catch (const ds::RunError &error) {
        return error.number();
    }
    return 0;
}

class SeedCopy : public ::testing::Test {
protected:
    void TearDown() override { startup::setFileSync({}); }
    TempHome home;
    ds::DataPaths paths = home.paths();
};

} // namespace

TEST_F(SeedCopy, ACopyThatFailsPartWayLeavesNoDataFile)
{
    // The disk fills up half-way through the copy: a file-size limit in a child process.
    QProcess copier;
    copier.setChildProcessModifier([] {
        std::signal(SIGXFSZ, SIG_IGN); // a write past the limit fails instead of killing
        const rlimit limit{rlim_t(QFileInfo(seedFilePath()).size() / 2), RLIM_INFINITY};
        setrlimit(RLIMIT_FSIZE, &limit);
    });
    copier.start(QStringLiteral(SEED_COPIER), {home.path(), paths.seedFile});
    ASSERT_TRUE(copier.waitForFinished(60000));
    EXPECT_EQ(copier.readAllStandardOutput().trimmed(),
              QByteArray("error ") + QByteArray::number(int(ds::ErrorCode::CannotCopyFile)));
    expectNothingLeft(paths);
    expectNextStartWorks(paths);
}

TEST_F(SeedCopy, ASeedThatIsAFolderOrASyncThatFailsLeavesNoDataFile)
{
    const ds::DataPaths folderAsSeed = [this] {
        ds::DataPaths changed = paths;
        changed.seedFile = home.file(QStringLiteral("seed-folder"));
        QDir().mkpath(changed.seedFile);
        return changed;
    }();
    EXPECT_EQ(errorNumber(folderAsSeed), int(ds::ErrorCode::CannotCopyFile));
    expectNothingLeft(paths);

    // The copy is synced before it is renamed into place, then the folder after the rename;
    // either sync failing is a failed copy.
    for (int failing : {1, 2}) {
        SCOPED_TRACE(failing);
        int calls = 0;
        startup::setFileSync([&](int) { return ++calls != failing; });
        EXPECT_EQ(errorNumber(paths), int(ds::ErrorCode::CannotCopyFile));
        EXPECT_EQ(calls, failing);
        expectNothingLeft(paths);
    }
    QList<bool> dataFileThereAtSync;
    startup::setFileSync([&](int) {
        dataFileThereAtSync.append(QFileInfo::exists(paths.dataFile));
        return true;
    });
    ASSERT_EQ(startup::ensureDataFile(paths), startup::DataFileState::Ready);
    EXPECT_EQ(dataFileThereAtSync, QList<bool>({false, true}));
    QFile::remove(paths.dataFile);
    expectNextStartWorks(paths);
}
