#include "datastore/data_file.h"
#include "datastore/errors.h"
#include "scripted_file_layer.h"
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
        int syncs = 0;
        {
            ScriptedFileLayer layer([&](const QString &call, const QString &) {
                return call == "fsync" && ++syncs == failing ? EIO : 0;
            });
            EXPECT_EQ(errorNumber(paths), int(ds::ErrorCode::CannotCopyFile));
        }
        EXPECT_GE(syncs, failing);
        expectNothingLeft(paths);
    }
    QList<bool> dataFileThereAtSync;
    {
        ScriptedFileLayer layer([&](const QString &call, const QString &) {
            if (call == "fsync")
                dataFileThereAtSync.append(QFileInfo::exists(paths.dataFile));
            return 0;
        });
        ASSERT_EQ(startup::ensureDataFile(paths), startup::DataFileState::Ready);
    }
    EXPECT_EQ(dataFileThereAtSync, QList<bool>({false, true}));
    QFile::remove(paths.dataFile);
    expectNextStartWorks(paths);
}
