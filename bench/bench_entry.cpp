// The entry screen at 50,000 herbs: the refresh of its name list after a save, change or
// delete, and its condition search over the seven searchable fields, each through the logic
// the screen runs (the list's model included, no window).

#include "datastore/data_file.h"
#include "generated_herbs.h"
#include "herbs/herb_lookup.h"
#include "herbs/herb_table.h"

#include "figures.h"

#include <QStringListModel>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

constexpr int kHerbs = 50000;

void BM_EntryNameRefresh(benchmark::State &state)
{
    const QString path = bench::GeneratedDataFile::shared(kHerbs).path();
    QStringListModel list;
    for (auto _ : state) {
        ds::Database db = ds::openDataFile(path);
        list.setStringList(herbs::herbNames(db, herbs::kHerbTable));
    }
    if (list.rowCount() != kHerbs)
        state.SkipWithError("the name list does not hold every herb");
}

void BM_EntryConditionSearch(benchmark::State &state)
{
    const QString path = bench::GeneratedDataFile::shared(kHerbs).path();
    herbs::HerbRecord conditions;
    conditions[herbs::kEfficacy] = bench::efficacyKeywords().first(); // "清热"
    QStringListModel list;
    int found = 0;
    for (auto _ : state) {
        ds::Database db = ds::openDataFile(path);
        const QStringList names = herbs::runConditionSearch(db, herbs::conditionStatement(conditions));
        found = int(names.size());
        list.setStringList(names);
    }
    if (found == 0)
        state.SkipWithError("the search found nothing");
    state.counters["found"] = found;
}

} // namespace

BENCHMARK(BM_EntryNameRefresh)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_EntryConditionSearch)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

namespace {

std::vector<bench::Figure> entryFigures(const bench::Medians &medians)
{
    const auto refresh = medians.find("BM_EntryNameRefresh");
    const auto search = medians.find("BM_EntryConditionSearch");
    if (refresh == medians.end() || search == medians.end())
        return {};
    std::printf("\nentry screen at %d herbs, median: name list refresh %.1f ms, condition search %.1f ms "
                "(aim: 100 ms each)\n",
                kHerbs, refresh->second, search->second);
    return {{"entry_refresh_50000", refresh->second, "ms"}, {"entry_search_50000", search->second, "ms"}};
}

const int registered = bench::registerClosing(&entryFigures);

} // namespace
