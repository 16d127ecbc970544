// The power goes off at each sync point in turn (before that sync takes effect) under each
// operation that writes the data file, and once more after the operation has ended. What
// survives is laid on disk: every change since the last sync lost, every unsynced write torn in
// half, and seeded subsets of the unsynced writes and folder changes, in their order and out of
// it. The program's next start then takes it: the file must open, pass its check and hold the
// old or the new state; an operation that ended keeps what it committed. Backup, restore and
// the automatic backup, which replace files outside the engine, are cut in file_replace_test.cpp.

#include "fault_vfs.h"
#include "operations.h"
#include "power_cut.h"

#include "datastore/errors.h"
#include "temp_data.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace reliability {
namespace {

constexpr int kMostSyncs = 200;

TEST(PowerCut, EverySyncPointOfEveryOperationLeavesTheOldOrTheNewState)
{
    installFaultVfs();
    TempHome home;
    const ds::DataPaths paths = home.paths();
    ASSERT_TRUE(QDir().mkpath(paths.dataFolder));
    QTemporaryDir folder;
    const QString daily = prepareDailyFile(folder.path());
    // The start-up runs on the file the cut left, its state is read from a copy of it.
    const QString judged = folder.filePath(QStringLiteral("judged.mdb"));
    int allPoints = 0;
    int allCuts = 0;
    int subsets = 0;
    int hotJournals = 0;
    int failures = 0;
    for (const Operation &operation : operations()) {
        const Baseline baseline = prepareBaseline(operation, daily, folder.path());
        ASSERT_EQ(baseline.problem, QString()) << operation.name;
        int points = 0;
        int cuts = 0;
        bool ended = false;
        for (int at = 1; at <= kMostSyncs && !ended; ++at) {
            ++points;
            for (const Landing landing : kLandings) {
                ASSERT_TRUE(copyFile(baseline.before, paths.dataFile));
                PowerCut cut(at);
                setActivePowerCut(&cut);
                const RunResult result = runOperation(operation, paths.dataFile);
                setActivePowerCut(nullptr);
                ended = cut.powered();
                cut.layDown(landing);
                hotJournals += hotJournalBeside(paths.dataFile) ? 1 : 0;
                ASSERT_TRUE(copyFile(paths.dataFile, judged));
                QString problem = result.escaped;
                if (problem.isEmpty() && ended && !result.success && !operation.silent)
                    problem = QStringLiteral("failed with the power on");
                if (problem.isEmpty())
                    problem = nextStartProblem(paths);
                // Once the operation has ended its commits survive: the journal's removal that
                // commits is synced with its folder, so it never comes back to roll the last
                // commit back.
                if (problem.isEmpty())
                    problem = stateProblem(judged, baseline, operation.rules, ended && (result.success || operation.silent));
                if (!problem.isEmpty()) {
                    ++failures;
                    ADD_FAILURE() << operation.name << ", " << landingName(landing.kind) << " (" << landing.seed
                                  << ") at sync point " << at << (ended ? " (after the end)" : "") << ": "
                                  << problem.toStdString();
                }
                ++cuts;
                subsets += landing.kind == CutKind::Lost || landing.kind == CutKind::Torn ? 0 : 1;
                if (cut.pendingChanges() == 0)
                    break; // every landing lays the same down
            }
            EXPECT_TRUE(ended || at < kMostSyncs) << operation.name << " never runs past its sync points";
        }
        // At least one sync inside, and one cut after the end: else nothing was tried.
        EXPECT_GT(points, 1) << operation.name;
        std::printf("power cuts: %s = %d sync points, %d cuts\n", operation.name, points, cuts);
        allPoints += points;
        allCuts += cuts;
    }
    // Cuts inside a commit leave a journal that the next open must roll back.
    EXPECT_GT(hotJournals, 0);
    std::printf("power cuts: %d operations, %d sync points, %d power cuts tried (%d of them subsets of the unsynced "
                "changes; %d hot journals rolled back), %d failures found\n",
                int(operations().size()), allPoints, allCuts, subsets, hotJournals, failures);
}

std::string contentOf(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return in ? std::string(std::istreambuf_iterator<char>(in), {}) : std::string("-");
}

void put(const std::string &path, const std::string &content)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
}

// A file-replacing routine as the model meets it: a folder made and the folder holding it
// synced, a temporary file in it written, renamed over the target and synced by its handle,
// whose name is the target's by then, and the folder synced. What a sync did not take is lost,
// torn, or lands in part.
TEST(PowerCut, AChangeIsDurableOnlyOnceItsFileOrFolderIsSynced)
{
    QTemporaryDir top;
    const std::string folder = top.filePath(QStringLiteral("sub")).toStdString();
    const std::string target = folder + "/data";
    const std::string temporary = target + ".tmp";
    const auto replace = [&](int cutAt, Landing landing) {
        std::filesystem::remove_all(folder);
        PowerCut cut(cutAt);
        std::filesystem::create_directory(folder);
        cut.madeFolder(folder);
        if (cut.folderSynced(folderOf(folder))) {
            const int file = cut.created(temporary);
            cut.wrote(file, 0, "new!", 4);
            put(temporary, "new!");
            cut.renamed(temporary, target);
            std::rename(temporary.c_str(), target.c_str());
            if (cut.synced(file))
                cut.folderSynced(folder);
        }
        cut.layDown(landing);
        return (std::filesystem::exists(folder) ? "" : "no folder|") + contentOf(target) + "|" + contentOf(temporary);
    };
    EXPECT_EQ(replace(1, {CutKind::Lost}), "no folder|-|-");
    EXPECT_EQ(replace(1, {CutKind::Torn}), "-|-");
    EXPECT_EQ(replace(2, {CutKind::Lost}), "-|-");
    EXPECT_EQ(replace(2, {CutKind::Torn}), std::string("ne\0\0|-", 6));
    EXPECT_EQ(replace(3, {CutKind::Lost}), "-|-");
    EXPECT_EQ(replace(3, {CutKind::AllButOne, 0}), "new!|-"); // the rename without the creation
    EXPECT_EQ(replace(3, {CutKind::AllButOne, 1}), "-|new!");
    EXPECT_EQ(replace(0, {CutKind::Lost}), "new!|-");
}

} // namespace
} // namespace reliability
