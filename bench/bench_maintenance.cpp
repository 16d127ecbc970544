// Backup, the background picture and the import. A checked backup (copy to a temporary file,
// flush, open it with the password and run the quick check, rename) against a plain file copy
// of the same data file; the automatic backup the program makes as it ends, at 500 and 50,000
// herbs; storing a 1 MiB picture in 4096-byte pieces through the engine's blob handle against
// one bound value of the same bytes; a merging import of 50,000 herbs into a file that holds
// 50,000, with the memory it takes.

#include "datastore/data_file.h"
#include "maintenance/auto_backup.h"
#include "maintenance/backup_copy.h"
#include "maintenance/backup_restore.h"
#include "maintenance/import_records.h"
#include "maintenance/picture_store.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "figures.h"
#include "generated_herbs.h"
#include "seed_copy.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>

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

namespace {

constexpr int kImportHerbs = 50000;

// A backup of the 50,000-herb file made on another install: half its herbs as they are here, a
// quarter with another 心得, a quarter under new names. Made once for the whole run.
const QString &importSource()
{
    static const QString source = [] {
        const QString path = bench::GeneratedDataFile::shared(kImportHerbs).copy(QStringLiteral("另一家.mdb"));
        ds::Database db = ds::openDataFile(path);
        ds::Transaction change(db);
        db.execute(QStringLiteral("UPDATE 中医药材 SET 心得 = '另一家的' || 心得 WHERE rowid % 4 = 1"));
        db.execute(QStringLiteral("UPDATE 中医药材 SET 名称 = '另一家的' || 名称 WHERE rowid % 4 = 2"));
        change.commit();
        return path;
    }();
    return source;
}

// A line of /proc/self/status in kilobytes ("VmRSS", "VmHWM"); 0 when it cannot be read.
double statusKilobytes(const std::string &field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field + ":", 0) == 0)
            return std::stod(line.substr(field.size() + 1));
    }
    return 0;
}

// The largest growth of the resident memory over what it was before an import, in MB.
double &importPeakGrowthMegabytes()
{
    static double growth = 0;
    return growth;
}

void BM_Import_Merge50000(benchmark::State &state)
{
    const QString source = importSource();
    const bench::GeneratedDataFile &data = bench::GeneratedDataFile::shared(kImportHerbs);
    for (auto _ : state) {
        state.PauseTiming();
        const QString target = data.copy(QStringLiteral("导入目标.mdb"));
        std::ofstream("/proc/self/clear_refs") << "5"; // the peak starts again from here
        const double before = statusKilobytes("VmRSS");
        state.ResumeTiming();
        const int added = maint::importRecords(target, source, maint::ImportKind::Herbs);
        state.PauseTiming();
        const double growth = (statusKilobytes("VmHWM") - before) / 1024;
        importPeakGrowthMegabytes() = std::max(importPeakGrowthMegabytes(), growth);
        if (added != kImportHerbs / 4)
            state.SkipWithError("the import did not bring a quarter of the herbs");
        state.ResumeTiming();
    }
}

std::vector<bench::Figure> importFigures(const bench::Medians &medians)
{
    const auto merge = medians.find("BM_Import_Merge50000");
    if (merge == medians.end())
        return {};
    std::printf("import of 50,000 herbs into 50,000 (half identical, a quarter different), median: %.3f s, "
                "resident memory up by at most %.1f MB\n",
                merge->second / 1000, importPeakGrowthMegabytes());
    return {{"import_merge_50000", merge->second / 1000, "s"},
            {"import_merge_50000_memory", importPeakGrowthMegabytes(), "MB"}};
}

const int importRegistered = bench::registerClosing(&importFigures);

} // namespace

BENCHMARK(BM_Import_Merge50000)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->ReportAggregatesOnly(true);
