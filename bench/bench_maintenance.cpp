// Backup and the background picture. A checked backup (copy to a temporary file, flush, open
// it with the password and run the quick check, rename) against a plain file copy of the
// same data file; the automatic backup the program makes as it ends, at 500 and 50,000 herbs;
// storing a 1 MiB picture in 4096-byte pieces through the engine's blob handle against one
// bound value of the same bytes.

#include "datastore/data_file.h"
#include "maintenance/auto_backup.h"
#include "maintenance/backup_restore.h"
#include "maintenance/picture_store.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "figures.h"
#include "generated_herbs.h"
#include "seed_copy.h"

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

constexpr qint64 kPictureBytes = 1024 * 1024;

void BM_Backup_Checked(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString data = bench::freshCopy(dir);
    const QString backup = dir.filePath("backup.mdb");
    for (auto _ : state)
        maint::backUp(data, backup);
}

void BM_Backup_PlainCopy(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString data = bench::freshCopy(dir);
    const QString backup = dir.filePath("backup.mdb");
    for (auto _ : state) {
        QFile::remove(backup);
        QFile::copy(data, backup);
    }
}

// The whole of what the end of a session costs: the look for today's backup, the checked copy
// into the backups folder, the pruning. Each run's backup is removed again (untimed), so every
// run makes one.
void BM_AutoBackup(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString data = dir.filePath("ccyc.mdb");
    QFile::copy(bench::GeneratedDataFile::shared(int(state.range(0))).path(), data);
    const QDateTime now = QDateTime::currentDateTime();
    for (auto _ : state) {
        const QString made = maint::autoBackUp(data, now);
        state.PauseTiming();
        QFile::remove(made);
        state.ResumeTiming();
    }
}

void BM_Picture_InPieces(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString data = bench::freshCopy(dir);
    const QString picture = dir.filePath("picture.bmp");
    QFile file(picture);
    file.open(QIODevice::WriteOnly);
    file.write(QByteArray(kPictureBytes, 'p'));
    file.close();
    for (auto _ : state) {
        ds::Database db = ds::openDataFile(data);
        maint::storePictureFile(db, picture);
    }
}

void BM_Picture_OneValue(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString data = bench::freshCopy(dir);
    const QByteArray bytes(kPictureBytes, 'p');
    for (auto _ : state) {
        ds::Database db = ds::openDataFile(data);
        db.execute(QStringLiteral("UPDATE 系统资料 SET \"03\" = ?1"), {bytes});
    }
}

} // namespace

BENCHMARK(BM_Backup_Checked)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_Backup_PlainCopy)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_AutoBackup)->Arg(500)->Arg(50000)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_Picture_InPieces)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_Picture_OneValue)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

namespace {

std::vector<bench::Figure> maintenanceFigures(const bench::Medians &medians)
{
    const auto checked = medians.find("BM_Backup_Checked");
    const auto plain = medians.find("BM_Backup_PlainCopy");
    const auto pieces = medians.find("BM_Picture_InPieces");
    const auto whole = medians.find("BM_Picture_OneValue");
    if (checked == medians.end() || plain == medians.end() || pieces == medians.end() || whole == medians.end()
        || plain->second <= 0 || whole->second <= 0)
        return {};
    std::printf("\nbackup, median: %.3f ms checked and renamed, %.3f ms as a plain copy\n", checked->second, plain->second);
    std::printf("picture of 1 MiB, median: %.3f ms in 4096-byte pieces, %.3f ms as one value\n", pieces->second,
                whole->second);
    return {{"backup_checked", checked->second, "ms"},
            {"backup_cost_ratio", checked->second / plain->second, "times"},
            {"picture_store_1mib", pieces->second, "ms"},
            {"picture_pieces_ratio", pieces->second / whole->second, "times"}};
}

const int registered = bench::registerClosing(&maintenanceFigures);

std::vector<bench::Figure> autoBackupFigures(const bench::Medians &medians)
{
    const auto small = medians.find("BM_AutoBackup/500");
    const auto large = medians.find("BM_AutoBackup/50000");
    if (small == medians.end() || large == medians.end())
        return {};
    std::printf("automatic backup at the end of a session, median: %.1f ms at 500 herbs, %.1f ms at 50,000 herbs\n",
                small->second, large->second);
    return {{"auto_backup_500", small->second, "ms"}, {"auto_backup_50000", large->second, "ms"}};
}

const int registeredAutoBackup = bench::registerClosing(&autoBackupFigures);

} // namespace
