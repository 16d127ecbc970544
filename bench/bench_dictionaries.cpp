// The dictionary rebuild alone on generated herb tables, with a progress sink that shows
// nothing: what opening the browse screen pays before its own loading. Most openings find no
// herb changed since the last one (nothing is written); after a change in the middle of the
// herb table the rows from that herb on are written; from empty dictionaries every row is.

#include "datastore/data_file.h"
#include "dictionaries/build_dictionaries.h"
#include "generated_herbs.h"
#include "silent_progress.h"

#include "figures.h"

#include <QFile>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

void BM_DictionaryRebuild(benchmark::State &state)
{
    const QString path = bench::GeneratedDataFile::shared(int(state.range(0))).path();
    bench::SilentProgress sink;
    dict::BuildDictionaries(path, sink); // the dictionaries as the last opening left them
    for (auto _ : state)
        dict::BuildDictionaries(path, sink);
}

// The herb halfway down the table gets another 功效 before each rebuild (two texts in turn).
void BM_DictionaryRebuildOneHerbChanged(benchmark::State &state)
{
    const int herbs = int(state.range(0));
    const QString path = bench::GeneratedDataFile::shared(herbs).copy(QStringLiteral("changed.mdb"));
    bench::SilentProgress sink;
    dict::BuildDictionaries(path, sink);
    int changes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ds::openDataFile(path).execute(
            QStringLiteral("UPDATE 中医药材 SET 功效 = ?1 WHERE rowid = (SELECT rowid FROM 中医药材 ORDER BY rowid "
                           "LIMIT 1 OFFSET ?2)"),
            {++changes % 2 ? QStringLiteral("补气，养血，安神。") : QStringLiteral("补气，养血。"), herbs / 2});
        state.ResumeTiming();
        dict::BuildDictionaries(path, sink);
    }
    QFile::remove(path);
}

// Every row written: the first opening, or dictionaries emptied.
void BM_DictionaryRebuildFromEmpty(benchmark::State &state)
{
    const QString path = bench::GeneratedDataFile::shared(int(state.range(0))).copy(QStringLiteral("empty.mdb"));
    bench::SilentProgress sink;
    for (auto _ : state) {
        state.PauseTiming();
        {
            ds::Database db = ds::openDataFile(path);
            db.execute(QStringLiteral("DELETE * FROM 药材功效"));
            db.execute(QStringLiteral("DELETE * FROM 药材主治"));
        }
        state.ResumeTiming();
        dict::BuildDictionaries(path, sink);
    }
    QFile::remove(path);
}

} // namespace

BENCHMARK(BM_DictionaryRebuild)->Arg(500)->Arg(5000)->Arg(50000)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(BM_DictionaryRebuildOneHerbChanged)->Arg(50000)->Unit(benchmark::kMillisecond)->Iterations(2)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(BM_DictionaryRebuildFromEmpty)->Arg(50000)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->ReportAggregatesOnly(true);

namespace {

std::vector<bench::Figure> rebuildFigures(const bench::Medians &medians)
{
    auto median = [&](const std::string &name) {
        const auto found = medians.find(name);
        return found == medians.end() ? 0.0 : found->second;
    };
    for (const char *herbs : {"500", "5000", "50000"}) {
        const double unchanged = median(std::string("BM_DictionaryRebuild/") + herbs);
        if (unchanged > 0)
            std::printf("dictionary rebuild at %s herbs, nothing changed, median: %.1f ms\n", herbs, unchanged);
    }
    const double unchanged = median("BM_DictionaryRebuild/50000");
    const double changed = median("BM_DictionaryRebuildOneHerbChanged/50000");
    const double empty = median("BM_DictionaryRebuildFromEmpty/50000");
    if (unchanged <= 0 || changed <= 0 || empty <= 0)
        return {};
    std::printf("at 50,000 herbs: %.1f ms after one herb in the middle changed, %.1f ms from empty dictionaries\n",
                changed, empty);
    return {{"rebuild_50000", unchanged, "ms"}, {"rebuild_changed_50000", changed, "ms"}, {"rebuild_empty_50000", empty, "ms"}};
}

const int registered = bench::registerClosing(&rebuildFigures);

} // namespace
