// The entry screen at 50,000 herbs: one save of a herb, the refresh of its name list after a
// save, change or delete, and its condition search over the seven searchable fields, each
// through the logic the screen runs (the list's model included, no window).

#include "datastore/data_file.h"
#include "generated_herbs.h"
#include "herbs/herb_lookup.h"
#include "herbs/herb_table.h"

#include "figures.h"

#include <QFile>
#include <QStringListModel>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <optional>

namespace {

constexpr int kHerbs = 50000;

// A change of one herb as the screen saves it: the file opened, the row written, the commit
// synced to the disk. The texts alternate, so every save writes.
void BM_HerbSave(benchmark::State &state)
{
    const QString path = bench::GeneratedDataFile::shared(kHerbs).copy(QStringLiteral("save.mdb"));
    std::optional<herbs::HerbRecord> herb = [&] {
        ds::Database db = ds::openDataFile(path);
        return herbs::findHerb(db, bench::generatedHerbName(kHerbs / 2));
    }();
    if (!herb) {
        state.SkipWithError("the herb to save is not stored");
        return;
    }
    const QString notes = (*herb)[herbs::kNotes];
    int saves = 0;
    for (auto _ : state) {
        (*herb)[herbs::kNotes] = notes + QString::number(++saves % 2);
        ds::Database db = ds::openDataFile(path);
        if (herbs::changeHerb(db, *herb) != herbs::ChangeOutcome::Changed)
            state.SkipWithError("the save changed nothing");
    }
    QFile::remove(path);
}

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

// The refresh as it was: every column of every herb read into a dynaset for the names alone.
void BM_EntryNameRefresh_AllColumns(benchmark::State &state)
{
    const QString path = bench::GeneratedDataFile::shared(kHerbs).path();
    QStringListModel list;
    for (auto _ : state) {
        ds::Database db = ds::openDataFile(path);
        ds::Dynaset rows = db.openDynaset(herbs::kHerbTable);
        QStringList names;
        for (; !rows.eof(); rows.moveNext())
            names.append(rows.text(0));
        list.setStringList(names);
    }
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
        const QStringList names = herbs::runConditionSearch(db, conditions);
        found = int(names.size());
        list.setStringList(names);
    }
    if (found == 0)
        state.SkipWithError("the search found nothing");
    state.counters["found"] = found;
}

} // namespace

BENCHMARK(BM_HerbSave)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_EntryNameRefresh)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_EntryNameRefresh_AllColumns)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_EntryConditionSearch)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

namespace {

std::vector<bench::Figure> entryFigures(const bench::Medians &medians)
{
    std::vector<bench::Figure> figures;
    if (const auto save = medians.find("BM_HerbSave"); save != medians.end()) {
        std::printf("\none herb saved at %d herbs (open, change, synced commit), median: %.1f ms\n", kHerbs, save->second);
        figures.push_back({"herb_save_50000", save->second, "ms"});
    }
    const auto refresh = medians.find("BM_EntryNameRefresh");
    const auto search = medians.find("BM_EntryConditionSearch");
    if (refresh == medians.end() || search == medians.end())
        return figures;
    std::printf("\nentry screen at %d herbs, median: name list refresh %.1f ms, condition search %.1f ms "
                "(aim: 100 ms each)\n",
                kHerbs, refresh->second, search->second);
    const auto allColumns = medians.find("BM_EntryNameRefresh_AllColumns");
    if (allColumns != medians.end() && refresh->second > 0)
        std::printf("name list refresh reading every column: %.1f ms, %.1f times the names alone\n", allColumns->second,
                    allColumns->second / refresh->second);
    figures.push_back({"entry_refresh_50000", refresh->second, "ms"});
    figures.push_back({"entry_search_50000", search->second, "ms"});
    return figures;
}

const int registered = bench::registerClosing(&entryFigures);

} // namespace
