// Backup, restore and the automatic backup replace whole files by copy, sync and rename, which
// the engine's file layer never sees. Each runs in a child that is killed before each of its
// file-system steps in turn, and under a file-size limit swept over the file's size (a full
// disk at each write); then in this process under the power-cut model, the power going off at
// each sync point in turn and once after the end, every unsynced change lost, then torn, then
// landed in part (folders made included: the backups folder must be durable before a file in it
// counts as kept). After
// each run the data file is exactly what it was or exactly the restored backup, and it starts;
// no half file is in any file's place; a backup never copies a half-committed state, nor does
// the copy a restore keeps of the file it replaced; no older automatic backup goes before the
// new one is whole.

#include "fault_vfs.h"
#include "file_state.h"
#include "power_cut.h"
#include "power_cut_layer.h"
#include "scripted_file_layer.h"
#include "step_tracer.h"

#include "maintenance/auto_backup.h"
#include "maintenance/backup_files.h"
#include "maintenance/backup_restore.h"
#include "tests/maintenance/maintenance_fixture.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace reliability {
namespace {

struct Replace {
    const char *name;
    maint::CopyMode mode;
    bool hotJournal;        // the data file's last transaction was cut off by a crash
    bool automatic = false; // the day's automatic backup, among two older ones
};

const Replace kReplaces[] = {
    {"backup", maint::CopyMode::Backup, false},
    {"backup over a hot journal", maint::CopyMode::Backup, true},
    {"restore", maint::CopyMode::Restore, false},
    {"restore over a hot journal", maint::CopyMode::Restore, true},
    {"automatic backup", maint::CopyMode::Backup, false, true},
};

// The automatic backup's day: yesterday's two backups are there, and the earlier one is pruned.
const QDateTime kNow(QDate(2026, 12, 7), QTime(18, 30));
const char *const kYesterdays[] = {"ccyc-2026-12-06-0800.mdb", "ccyc-2026-12-06-1800.mdb"};

constexpr long kLimitStep = 24 * 1024;
constexpr int kMostRuns = 400;

enum Exit { Succeeded = 0, Failed = 1 };

class FileReplace : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(paths.dataFolder));
        // The backup is older and smaller than the data file, so a restore's copy of the
        // replaced file writes past the end of the backup's.
        makeDailyFile(pristineBackup);
        ASSERT_TRUE(copyFile(pristineBackup, pristineData));
        ds::Database db = ds::openDataFile(pristineData);
        for (int i = 0; i < 60; ++i)
            db.execute(QStringLiteral("INSERT INTO 中医药材 VALUES (?1, ' ', ' ', ' ', ' ', ' ', ' ', ?2)"),
                       {QStringLiteral("备份后的药%1").arg(i), QString(600, QChar(u'记'))});
        db.close();
        ASSERT_TRUE(copyFile(pristineData, crashedData));
        crashInsideTransaction(crashedData);
        ASSERT_TRUE(hotJournalBeside(crashedData));
    }

    // Puts the files of the scene in place, as they were before the operation.
    void setScene(const Replace &replace)
    {
        for (const QString &name : QDir(paths.dataFolder).entryList(QDir::Files | QDir::Hidden))
            QFile::remove(QDir(paths.dataFolder).filePath(name));
        QDir(maint::backupsFolder(paths.dataFile)).removeRecursively();
        // The half copies a killed run left beside the backup.
        for (const QString &name : QDir(home.path()).entryList({QStringLiteral("*.tmp-*")}, QDir::Files | QDir::Hidden))
            QFile::remove(home.file(name));
        ASSERT_TRUE(copyFile(replace.hotJournal ? crashedData : pristineData, paths.dataFile));
        ASSERT_TRUE(copyFile(pristineBackup, backup));
        if (replace.automatic) {
            ASSERT_TRUE(QDir().mkpath(backups()));
            for (const char *name : kYesterdays)
                ASSERT_TRUE(copyFile(pristineBackup, automatic(name)));
        }
    }

    QString backups() const { return maint::backupsFolder(paths.dataFile); }
    QString automatic(const QString &name) const { return QDir(backups()).filePath(name); }

    // Takes the scene's old states from copies: opening the file itself would roll back its
    // journal.
    void readStates(const Replace &replace)
    {
        setScene(replace);
        const QString copy = scenes.filePath(QStringLiteral("copy.mdb"));
        dataBytes = readBytes(paths.dataFile);
        ASSERT_TRUE(copyFile(paths.dataFile, copy));
        dataState = checkFile(copy, {});
        ASSERT_TRUE(copyFile(backup, copy));
        backupState = checkFile(copy, {});
        ASSERT_EQ(dataState.integrity, "ok");
        ASSERT_EQ(backupState.integrity, "ok");
        ASSERT_NE(dataState.state, backupState.state);
    }

    int run(const Replace &replace) const
    {
        if (!replace.automatic)
            return maint::runCopy(replace.mode, paths.dataFile, backup) ? Failed : Succeeded;
        try {
            return maint::autoBackUp(paths.dataFile, kNow).isEmpty() ? Failed : Succeeded;
        } catch (const ds::RunError &) {
            return Failed;
        }
    }

    // Under the power-cut model: the power goes off at sync point at (or stays on), and the disk
    // is laid down as the cut leaves it. A run the cut stopped is judged as a killed one.
    ChildEnd runCutAt(int at, Landing landing, const Replace &replace) const
    {
        PowerCut cut(at);
        int exitCode = Failed;
        {
            PowerCutFileLayer layer;
            setActivePowerCut(&cut);
            exitCode = run(replace);
            setActivePowerCut(nullptr);
        }
        cut.layDown(landing);
        return {!cut.powered(), cut.powered() ? exitCode : -1, cut.syncPoints()};
    }

    // A file must be missing (when allowed), byte-identical to bytes, or sound with state.
    QString fileProblem(const QString &what, const QString &path, const QByteArray &bytes, const QByteArray &state) const
    {
        if (readBytes(path) == bytes)
            return {};
        const FileCheck check = checkFile(path, {});
        if (check.integrity != QLatin1String("ok"))
            return what + QStringLiteral(" is unsound: ") + check.integrity;
        return check.state == state ? QString() : what + QStringLiteral(" holds a state of neither file");
    }

    // Without a journal to roll back, the data file is never written: byte-identical.
    QString dataFileProblem(const Replace &replace) const
    {
        if (!replace.hotJournal && readBytes(paths.dataFile) != dataBytes)
            return QStringLiteral("the data file changed");
        return fileProblem(QStringLiteral("the data file"), paths.dataFile, dataBytes, dataState.state);
    }

    QString backupProblem(const Replace &replace, const ChildEnd &end) const
    {
        const bool older = readBytes(backup) == readBytes(pristineBackup);
        if (end.exitCode == Succeeded && older)
            return QStringLiteral("success was reported but the backup is the older one");
        if (!older) {
            // Whatever is new in the backup's place is the data as committed, never a half state.
            const QString problem = fileProblem(QStringLiteral("the backup"), backup, {}, dataState.state);
            if (!problem.isEmpty())
                return problem;
        }
        return dataFileProblem(replace);
    }

    QString restoreProblem(const Replace &replace, const ChildEnd &end) const
    {
        if (readBytes(backup) != readBytes(pristineBackup))
            return QStringLiteral("the backup restored from changed");
        // A kept copy of the replaced file, once in its place, holds the data as committed.
        for (const maint::KeptFile &kept : maint::keptFiles(paths.dataFile, maint::KeptKind::BeforeRestore)) {
            const QString problem = fileProblem(QStringLiteral("the replaced copy"), kept.path, {}, dataState.state);
            if (!problem.isEmpty())
                return problem;
        }
        const bool restored = readBytes(paths.dataFile) == readBytes(backup);
        if (end.exitCode == Succeeded && !restored)
            return QStringLiteral("success was reported but the backup is not in place");
        if (end.exitCode == Failed && restored)
            return QStringLiteral("a failure was reported but the backup is in place");
        if (restored && hotJournalBeside(paths.dataFile))
            return QStringLiteral("the replaced file's journal lies beside the restored file");
        if (restored && maint::keptFiles(paths.dataFile, maint::KeptKind::BeforeRestore).isEmpty())
            return QStringLiteral("the backup is in place but the replaced file was not kept");
        return restored ? fileProblem(QStringLiteral("the restored file"), paths.dataFile, {}, backupState.state)
                        : dataFileProblem(replace);
    }

    // Every automatic backup is an older one as it was or the new one whole; the earlier of
    // yesterday's goes only once the new one is there.
    QString automaticProblem(const Replace &replace, const ChildEnd &end) const
    {
        const bool made = QFile::exists(automatic(QStringLiteral("ccyc-2026-12-07-1830.mdb")));
        if (end.exitCode == Succeeded && !made)
            return QStringLiteral("success was reported but no backup was made");
        if (!made && !QFile::exists(automatic(kYesterdays[0])))
            return QStringLiteral("an older backup was removed before the new one was made");
        const QByteArray older = readBytes(pristineBackup);
        for (const maint::KeptFile &kept : maint::keptFiles(paths.dataFile, maint::KeptKind::Automatic)) {
            const QString problem = fileProblem(QFileInfo(kept.path).fileName(), kept.path, older, dataState.state);
            if (!problem.isEmpty())
                return problem;
        }
        return dataFileProblem(replace);
    }

    // Half copies and journals moved aside, left by a run that ended by itself, not by a kill.
    QString leftovers() const
    {
        QStringList left;
        for (const QString &folder : {paths.dataFolder, home.path(), maint::backupsFolder(paths.dataFile)}) {
            for (const QString &name : QDir(folder).entryList(QDir::Files | QDir::Hidden)) {
                if (name.contains(QLatin1String(".tmp-")) || name.endsWith(QLatin1String("replaced-journal")))
                    left.append(name);
            }
        }
        return left.isEmpty() ? QString() : QStringLiteral("left behind: ") + left.join(QLatin1Char(' '));
    }

    QString problemAfter(const Replace &replace, const ChildEnd &end) const
    {
        if (!end.killed && end.exitCode != Succeeded && end.exitCode != Failed)
            return QStringLiteral("the child ended with %1").arg(end.exitCode);
        QString problem = end.killed ? QString() : leftovers();
        if (problem.isEmpty() && replace.automatic)
            problem = automaticProblem(replace, end);
        else if (problem.isEmpty())
            problem = replace.mode == maint::CopyMode::Backup ? backupProblem(replace, end) : restoreProblem(replace, end);
        if (problem.isEmpty())
            problem = nextStartProblem(paths);
        return problem;
    }

    TempHome home;
    ds::DataPaths paths = home.paths();
    QString backup = home.file(QStringLiteral("备份.mdb"));
    QTemporaryDir folder;
    QDir scenes{folder.path()};
    QString pristineBackup = scenes.filePath(QStringLiteral("backup.mdb"));
    QString pristineData = scenes.filePath(QStringLiteral("data.mdb"));
    QString crashedData = scenes.filePath(QStringLiteral("crashed.mdb"));
    QByteArray dataBytes;
    FileCheck dataState;
    FileCheck backupState;
};

TEST_F(FileReplace, EveryStepKilledOrFailedOrCutLeavesTheOldOrTheNewFileAndTheNextStartWorks)
{
    installFaultVfs(); // the engine's writes (a journal rolled back) go to the power-cut model too
    int allKills = 0;
    int allLimits = 0;
    int allCuts = 0;
    int subsets = 0;
    int failures = 0;
    for (const Replace &replace : kReplaces) {
        readStates(replace);
        const auto sweep = [&](const char *how, const std::function<ChildEnd(int)> &runAt) {
            int faults = 0;
            for (int at = 1; at <= kMostRuns; ++at) {
                setScene(replace);
                const ChildEnd end = runAt(at);
                const QString problem = problemAfter(replace, end);
                if (!problem.isEmpty()) {
                    ++failures;
                    ADD_FAILURE() << replace.name << ", " << how << " " << at << ": " << problem.toStdString();
                }
                if (!end.killed && end.exitCode == Succeeded)
                    break;
                ++faults;
                EXPECT_LT(at, kMostRuns) << replace.name << " never completes";
            }
            return faults;
        };
        // Without tracing, the kill comes after a time swept instead, finely at first.
        const int kills = canTraceSteps()
                              ? sweep("killed at step", [&](int at) { return runKilledAtStep(at, [&] { return run(replace); }); })
                              : sweep("killed after (N - 1)² × 8 µs, N =", [&](int at) {
                                    return runKilledAfter(8L * (at - 1) * (at - 1), [&] { return run(replace); });
                                });
        const int limits = sweep("file-size limit step", [&](int at) {
            return runWithFileSizeLimit((at - 1) * kLimitStep, [&] { return run(replace); });
        });
        // One cut after each end besides those the sweeps count.
        int cuts = int(std::size(kLandings));
        for (const Landing landing : kLandings) {
            const std::string how = std::string("power cut, ") + landingName(landing.kind) + " (" + std::to_string(landing.seed)
                                    + "), at sync point";
            const int tried = sweep(how.c_str(), [&](int at) { return runCutAt(at, landing, replace); });
            cuts += tried;
            subsets += landing.kind == CutKind::Lost || landing.kind == CutKind::Torn ? 0 : tried + 1;
        }
        // None would mean the steps were not seen and nothing was tried.
        EXPECT_GT(kills, 0) << replace.name;
        EXPECT_GT(limits, 0) << replace.name;
        EXPECT_GT(cuts, int(std::size(kLandings))) << replace.name;
        std::printf("file replace: %s = %d kills, %d file-size limits, %d power cuts\n", replace.name, kills, limits, cuts);
        allKills += kills;
        allLimits += limits;
        allCuts += cuts;
    }
    if (!canTraceSteps())
        std::printf("file replace: this machine forbids tracing; kills were timed\n");
    std::printf("file replace: %d operations, %d kills, %d file-size limits and %d power cuts tried (%d of them subsets of "
                "the unsynced changes), %d failures found\n",
                int(std::size(kReplaces)), allKills, allLimits, allCuts, subsets, failures);
}

} // namespace
} // namespace reliability

namespace reliability {
namespace {

// A journal the engine cannot roll back (the disk fails every write) is moved aside and copied
// with the kept file; when it cannot even be moved, the restore stops and nothing changes.
TEST_F(FileReplace, AJournalThatCannotBeRolledBackIsMovedAsideOrStopsTheRestore)
{
    const Replace overJournal{"restore over a hot journal", maint::CopyMode::Restore, true};
    readStates(overJournal);
    const QByteArray journalBytes = readBytes(paths.dataFile + "-journal");
    installFaultVfs();
    const auto runFailingDisk = [&](const ScriptedFileLayer::Rule &rule) {
        ScriptedFileLayer layer(rule);
        arm({1, FaultAction::FailOnward});
        const std::optional<maint::CopyFailure> failure = maint::runCopy(maint::CopyMode::Restore, paths.dataFile, backup);
        disarm();
        return failure;
    };

    const QString journal = paths.dataFile + "-journal";
    const std::optional<maint::CopyFailure> stuck = runFailingDisk(
        [&](const QString &call, const QString &path) { return call == "rename" && path == journal ? EBUSY : 0; });
    ASSERT_TRUE(stuck);
    EXPECT_TRUE(stuck->description.contains("不能处理，数据没有恢复，现有数据没有改动")) << stuck->description.toStdString();
    EXPECT_EQ(readBytes(paths.dataFile), dataBytes);
    EXPECT_EQ(readBytes(journal), journalBytes);
    EXPECT_EQ(QDir(maint::backupsFolder(paths.dataFile)).entryList(QDir::Files), QStringList());
    EXPECT_EQ(leftovers(), QString());

    ASSERT_FALSE(runFailingDisk({}));
    EXPECT_EQ(readBytes(paths.dataFile), readBytes(backup));
    EXPECT_FALSE(QFile::exists(journal));
    EXPECT_EQ(leftovers(), QString());
    const QList<maint::KeptFile> kept = maint::keptFiles(paths.dataFile, maint::KeptKind::BeforeRestore);
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(readBytes(kept[0].path + "-journal"), journalBytes);
    EXPECT_EQ(fileProblem("the replaced copy", kept[0].path, {}, dataState.state), QString());
}

} // namespace
} // namespace reliability
