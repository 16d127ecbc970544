// The power goes off at each sync point in turn (before that sync takes effect) under each
// operation that writes the data file, and once more after the operation has ended. What
// survives is laid on disk: first with every change since the last sync lost (folder entries
// too), then with every unsynced write torn in half. The program's next start then takes it:
// an operation that ended keeps what it committed. Backup, restore and the automatic backup,
// which replace files outside the engine, are cut in file_replace_test.cpp.

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
#include <fstream>
#include <iterator>

namespace reliability {
namespace {

constexpr CutKind kCuts[] = {CutKind::Lost, CutKind::Torn};
constexpr int kMostSyncs = 200;

const char *kindName(CutKind kind)
{
    return kind == CutKind::Lost ? "lost" : "torn";
}

// A refusal the recovery window answers by restoring a backup: damaged, empty, cut short.
bool repairableRefusal(const QString &problem)
{
    const int number = problem.section(QLatin1Char(' '), 0, 0).toInt();
    return number == int(ds::ErrorCode::NotADatabase) || number == int(ds::ErrorCode::EmptyFile)
           || number == int(ds::ErrorCode::DamagedFile);
}

TEST(PowerCut, EverySyncPointOfEveryOperationLeavesTheOldOrTheNewStateOrARepairableRefusal)
{
    installFaultVfs();
    TempHome home;
    const ds::DataPaths paths = home.paths();
    ASSERT_TRUE(QDir().mkpath(paths.dataFolder));
    QTemporaryDir folder;
    const QString daily = prepareDailyFile(folder.path());
    // The start-up runs on the file the cut left, its state is read from a copy of it.
    const QString judged = folder.filePath(QStringLiteral("judged.mdb"));
    int allCuts = 0;
    int hotJournals = 0;
    int refusals = 0;
    int failures = 0;
    for (const Operation &operation : operations()) {
        const Baseline baseline = prepareBaseline(operation, daily, folder.path());
        ASSERT_EQ(baseline.problem, QString()) << operation.name;
        int cuts = 0;
        for (const CutKind kind : kCuts) {
            for (int at = 1; at <= kMostSyncs; ++at) {
                ASSERT_TRUE(copyFile(baseline.before, paths.dataFile));
                PowerCut cut(at);
                setActivePowerCut(&cut);
                const RunResult result = runOperation(operation, paths.dataFile);
                setActivePowerCut(nullptr);
                const bool ended = cut.powered();
                cut.layDown(kind);
                hotJournals += hotJournalBeside(paths.dataFile) ? 1 : 0;
                ASSERT_TRUE(copyFile(paths.dataFile, judged));
                QString problem = result.escaped;
                if (problem.isEmpty() && ended && !result.success && !operation.silent)
                    problem = QStringLiteral("failed with the power on");
                const QString start = problem.isEmpty() ? nextStartProblem(paths) : QString();
                if (repairableRefusal(start)) {
                    ++refusals;
                    std::printf("refused after a power cut: %s, %s cut at sync point %d: %s\n", operation.name,
                                kindName(kind), at, start.toUtf8().constData());
                } else {
                    problem = problem.isEmpty() ? start : problem;
                    // Once the operation has ended its commits survive: the journal's removal
                    // that commits is synced with its folder, so it never comes back to roll the
                    // last commit back.
                    const bool done = ended && (result.success || operation.silent);
                    if (problem.isEmpty())
                        problem = stateProblem(judged, baseline, operation.rules, done);
                }
                if (!problem.isEmpty()) {
                    ++failures;
                    ADD_FAILURE() << operation.name << ", " << kindName(kind) << " at sync point " << at
                                  << (ended ? " (after the end)" : "") << ": " << problem.toStdString();
                }
                ++cuts;
                if (ended)
                    break;
                EXPECT_LT(at, kMostSyncs) << operation.name << " never runs past its sync points";
            }
        }
        // One cut after the end for each kind, and at least one sync inside: else nothing was tried.
        EXPECT_GT(cuts, 2) << operation.name;
        std::printf("power cuts: %s = %d\n", operation.name, cuts);
        allCuts += cuts;
    }
    // Cuts inside a commit leave a journal that the next open must roll back.
    EXPECT_GT(hotJournals, 0);
    std::printf("power cuts: %d operations, %d power cuts tried (%d hot journals rolled back, %d repairable refusals), "
                "%d failures found\n",
                int(operations().size()), allCuts, hotJournals, refusals, failures);
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

// The engine never renames, a file-replacing routine does: a temporary file written and synced,
// renamed over the target, the folder synced. The model must lose the rename until that sync.
TEST(PowerCut, ARenameIsDurableOnlyOnceItsFolderIsSynced)
{
    QTemporaryDir folder;
    const std::string target = folder.filePath(QStringLiteral("data")).toStdString();
    const std::string temporary = target + ".tmp";
    const auto replace = [&](int cutAt, CutKind kind) {
        put(target, "old");
        QFile::remove(QString::fromStdString(temporary));
        PowerCut cut(cutAt);
        cut.created(temporary);
        cut.wrote(temporary, 0, "new!", 4);
        put(temporary, "new!");
        if (cut.synced(temporary)) {
            cut.renamed(temporary, target);
            std::rename(temporary.c_str(), target.c_str());
            cut.folderSynced(folderOf(target));
        }
        cut.layDown(kind);
        return contentOf(target) + "|" + contentOf(temporary);
    };
    EXPECT_EQ(replace(1, CutKind::Lost), "old|-");
    EXPECT_EQ(replace(1, CutKind::Torn), std::string("old|ne\0\0", 8));
    EXPECT_EQ(replace(2, CutKind::Lost), "old|-");
    EXPECT_EQ(replace(2, CutKind::Torn), "new!|-");
    EXPECT_EQ(replace(0, CutKind::Lost), "new!|-");
}

} // namespace
} // namespace reliability
