// The start-up's check of the whole data file (every page read and its authentication code
// proved) at 500 and 50,000 herbs.

#include "datastore/data_file.h"
#include "datastore/kept_connection.h"
#include "generated_herbs.h"

#include "figures.h"

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

void BM_StartupCheck(benchmark::State &state)
{
    const QString path = bench::GeneratedDataFile::shared(int(state.range(0))).path();
    for (auto _ : state) {
        // As at a start: no connection kept from before.
        state.PauseTiming();
        ds::closeKeptConnection();
        state.ResumeTiming();
        ds::Database::checkWholeFile(path, ds::kDataFileConnect);
    }
}

} // namespace

BENCHMARK(BM_StartupCheck)->Arg(500)->Arg(50000)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

namespace {

std::vector<bench::Figure> startupCheckFigures(const bench::Medians &medians)
{
    const auto small = medians.find("BM_StartupCheck/500");
    const auto large = medians.find("BM_StartupCheck/50000");
    if (small == medians.end() || large == medians.end())
        return {};
    std::printf("\nstart-up check of the whole data file, median: %.1f ms at 500 herbs, %.1f ms at 50,000 herbs\n",
                small->second, large->second);
    return {{"startup_check_50000", large->second, "ms"}};
}

const int registered = bench::registerClosing(&startupCheckFigures);

} // namespace
