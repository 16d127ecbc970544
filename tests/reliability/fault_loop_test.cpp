// Every write, sync and truncate of the data file and its journal is failed in turn, under
// each operation that writes the file, until the operation runs past the last one.

#include "fault_vfs.h"
#include "operations.h"

#include "datastore/kept_connection.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>

namespace reliability {
namespace {

constexpr FaultAction kFaults[] = {FaultAction::FailOnce, FaultAction::FailOnward, FaultAction::DiskFull,
                                   FaultAction::ShortWrite};
constexpr int kMostPoints = 500;

TEST(FaultInjection, EveryWritePointOfEveryOperationLeavesTheOldOrTheNewState)
{
    installFaultVfs();
    QTemporaryDir folder;
    const QString daily = prepareDailyFile(folder.path());
    const QString work = folder.filePath(QStringLiteral("work.mdb"));
    int allPoints = 0;
    int failures = 0;
    for (const Operation &operation : operations()) {
        const Baseline baseline = prepareBaseline(operation, daily, folder.path());
        ASSERT_EQ(baseline.problem, QString()) << operation.name;
        int points = 0;
        int journals = 0;
        const int served = ds::keptConnectionServed();
        for (FaultAction action : kFaults) {
            for (int at = 1; at <= kMostPoints; ++at) {
                ASSERT_TRUE(copyFile(baseline.before, work));
                arm({at, action});
                const RunResult result = runOperation(operation, work);
                const bool hit = faultHit();
                disarm();
                journals += hotJournalBeside(work) ? 1 : 0;
                QString problem = result.escaped;
                if (problem.isEmpty() && !hit && !result.success)
                    problem = QStringLiteral("failed with no fault injected");
                if (problem.isEmpty() && hit && result.success && !operation.silent)
                    problem = QStringLiteral("success reported though a write failed");
                // A silent operation that met no fault must have done all of its work.
                const bool mustBeNew = operation.silent ? !hit : result.success;
                if (problem.isEmpty())
                    problem = stateProblem(work, baseline, operation.rules, mustBeNew);
                if (!problem.isEmpty()) {
                    ++failures;
                    ADD_FAILURE() << operation.name << ", " << actionName(action) << " at write point " << at << ": "
                                  << problem.toStdString();
                }
                if (!hit)
                    break;
                ++points;
                EXPECT_LT(at, kMostPoints) << operation.name << " never runs past its write points";
            }
        }
        // None at all would mean the program's writes bypass the shim and nothing was tried.
        EXPECT_GT(points, 0) << operation.name;
        // And none through the kept connection would mean the harness never tried it.
        EXPECT_GT(ds::keptConnectionServed(), served) << operation.name;
        std::printf("fault points: %s = %d (journals rolled back at the next open: %d)\n", operation.name, points, journals);
        allPoints += points;
    }
    std::printf("fault injection: %d operations, %d fault points tried, %d failures found\n", int(operations().size()),
                allPoints, failures);
}

} // namespace
} // namespace reliability
