// One operation cycle of the data file's access convention on the seed file: open, purge the
// stored queries, create "000", open it, read every row, close. Compared with the same cycle
// when the key is derived at every open; the ratio of the medians is printed at the end.

#include "datastore/data_file.h"

#include <QFile>
#include <QTemporaryDir>

#include "figures.h"
#include "seed_copy.h"

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

void accessCycle(benchmark::State &state, ds::KeyMode mode)
{
    QTemporaryDir dir;
    const QString path = bench::freshCopy(dir);
    qint64 rows = 0;
    for (auto _ : state) {
        ds::Database db = ds::Database::open(path, ds::kDataFileConnect, mode);
        db.purgeQueries();
        db.createQuery(QStringLiteral("000"), QStringLiteral("SELECT * FROM 中医药材"));
        ds::Dynaset herbs = db.openDynaset(QStringLiteral("000"));
        for (herbs.moveFirst(); !herbs.eof(); herbs.moveNext())
            rows += herbs.text(0).size();
        herbs.close();
        db.close();
    }
    benchmark::DoNotOptimize(rows);
}

void BM_AccessCycle_KeyDerivedOnce(benchmark::State &state)
{
    accessCycle(state, ds::KeyMode::Cached);
}

void BM_AccessCycle_KeyDerivedEachOpen(benchmark::State &state)
{
    accessCycle(state, ds::KeyMode::DerivePerOpen);
}

} // namespace

BENCHMARK(BM_AccessCycle_KeyDerivedOnce)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_AccessCycle_KeyDerivedEachOpen)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

namespace {

std::vector<bench::Figure> accessCycleFigures(const bench::Medians &medians)
{
    const auto once = medians.find("BM_AccessCycle_KeyDerivedOnce");
    const auto each = medians.find("BM_AccessCycle_KeyDerivedEachOpen");
    if (once == medians.end() || each == medians.end() || once->second <= 0)
        return {};
    std::printf("\naccess cycle, median: %.3f ms with the key derived once, %.3f ms deriving it at every open\n",
                once->second, each->second);
    std::printf("ratio: %.1f times faster (aim: at least 20; aim per cycle: under 2 ms)\n", each->second / once->second);
    return {{"access_cycle", once->second, "ms"}, {"access_ratio", each->second / once->second, "times"}};
}

const int registered = bench::registerClosing(&accessCycleFigures);

} // namespace
