// A child runs each operation on a copy of the data file and is killed at its N-th point (each
// statement started, each write, sync and truncate), for N = 1, 2, ... until it completes. The
// file is then opened as the program opens it and the program's start-up runs on it.

#include "operations.h"

#include "temp_data.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <spawn.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

extern char **environ;

namespace reliability {
namespace {

constexpr int kMostKills = 400;

// The wait status of the child run on file, killed at point at.
int runChild(const Operation &operation, const QString &file, int at, const QString &inputs)
{
    const std::string tool = CC_KILL_CHILD;
    const std::string path = file.toStdString();
    const std::string point = std::to_string(at);
    const std::string inputFolder = inputs.toStdString();
    char *argv[] = {const_cast<char *>(tool.c_str()), const_cast<char *>(operation.name), const_cast<char *>(path.c_str()),
                    const_cast<char *>(point.c_str()), const_cast<char *>(inputFolder.c_str()), nullptr};
    pid_t child = 0;
    if (posix_spawn(&child, tool.c_str(), nullptr, nullptr, argv, environ) != 0)
        return -1;
    int status = 0;
    waitpid(child, &status, 0);
    return status;
}

TEST(KillAfterEachStatement, EveryKillLeavesTheOldOrTheNewStateAndTheNextStartWorks)
{
    TempHome home;
    const ds::DataPaths paths = home.paths();
    ASSERT_TRUE(QDir().mkpath(paths.dataFolder));
    QTemporaryDir folder;
    const QString daily = prepareDailyFile(folder.path());
    const QString inputs = folder.filePath(QStringLiteral("inputs"));
    int allKills = 0;
    int allHotJournals = 0;
    int failures = 0;
    for (const Operation &operation : operations()) {
        const Baseline baseline = prepareBaseline(operation, daily, folder.path());
        ASSERT_EQ(baseline.problem, QString()) << operation.name;
        int kills = 0;
        int hotJournals = 0;
        for (int at = 1; at <= kMostKills; ++at) {
            ASSERT_TRUE(copyFile(baseline.before, paths.dataFile));
            const int status = runChild(operation, paths.dataFile, at, inputs);
            const bool killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
            QString problem;
            if (!killed && !(WIFEXITED(status) && WEXITSTATUS(status) == 0))
                problem = QStringLiteral("the child ended with status %1").arg(status);
            const bool hot = hotJournalBeside(paths.dataFile);
            if (problem.isEmpty())
                problem = stateProblem(paths.dataFile, baseline, operation.rules, !killed);
            if (problem.isEmpty())
                problem = nextStartProblem(paths);
            if (!problem.isEmpty()) {
                ++failures;
                ADD_FAILURE() << operation.name << ", killed at point " << at << ": " << problem.toStdString();
            }
            if (!killed)
                break;
            ++kills;
            hotJournals += hot ? 1 : 0;
            EXPECT_LT(at, kMostKills) << operation.name << " never completes";
        }
        EXPECT_GT(kills, 0) << operation.name;
        std::printf("kills: %s = %d (hot journals rolled back: %d)\n", operation.name, kills, hotJournals);
        allKills += kills;
        allHotJournals += hotJournals;
    }
    // Kills inside a commit leave a journal beside the file; the next open must roll it back.
    EXPECT_GT(allHotJournals, 0);
    std::printf("kill after each statement: %d operations, %d kills tried, %d hot journals rolled back, %d failures found\n",
                int(operations().size()), allKills, allHotJournals, failures);
}

} // namespace
} // namespace reliability
