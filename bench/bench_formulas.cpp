// The formula screen at 50,000 formulas over 50,000 herbs, through the logic the screen runs (the
// result list's model and the first formula's page included, no window): the opening (menu to
// the first list, the index read from nothing), a search by two herbs (one with processed
// forms), by name (part and pinyin initials) and the count of one herb's formulas, each with the
// index kept from the operation before; beside them the first search by herb, which reads every
// composition, and the same after one formula changed.

#include "datastore/data_file.h"
#include "datastore/pinyin_initials.h"
#include "formulas/formula_list_model.h"
#include "formulas/formula_page.h"
#include "formulas/formula_search.h"
#include "generated_formulas.h"
#include "generated_herbs.h"

#include "figures.h"

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

constexpr int kCount = 50000;

struct FormulaFile {
    ds::AliasTable aliases = bench::generatedAliases(kCount, kCount / 2);
    formulas::ProcessedForms forms = bench::generatedProcessedForms(kCount);
    formulas::NameTables tables{&aliases, &formulas::shippedAuxiliaries(), &forms, &formulas::shippedFormulaAliases()};
    QString path;
};

const FormulaFile &formulaFile()
{
    static FormulaFile *file = [] {
        auto *made = new FormulaFile;
        made->path = bench::GeneratedDataFile::shared(kCount).copy(QStringLiteral("formulas.mdb"));
        bench::generateFormulas(made->path, kCount, kCount, made->aliases);
        return made;
    }();
    return *file;
}

// The most used herb with processed forms and another common one.
QString herbsCondition()
{
    return ds::aliasKey(bench::generatedHerbName(0)) + QLatin1Char(' ') + ds::aliasKey(bench::generatedHerbName(1));
}

QString herbWithForms()
{
    return bench::generatedHerbName(2);
}

int search(const FormulaFile &file, const formulas::FormulaConditions &conditions, formulas::FormulaListModel &list)
{
    ds::Database db = ds::openDataFile(file.path);
    list.setRows(formulas::findFormulas(db, conditions, file.tables).rows);
    return list.rowCount();
}

void BM_FormulaOpen(benchmark::State &state)
{
    const FormulaFile &file = formulaFile();
    int listed = 0;
    for (auto _ : state) {
        formulas::FormulaIndex::forget();
        formulas::FormulaListModel list;
        listed = search(file, {}, list);
        ds::Database db = ds::openDataFile(file.path);
        const formulas::FormulaRecord first = *formulas::findFormula(db, list.rows().first().name);
        benchmark::DoNotOptimize(formulas::formulaPage(first, formulas::compositionLines(db, first[formulas::kComposition], file.tables), true));
    }
    if (listed != kCount)
        state.SkipWithError("the opening list does not hold every formula");
}

void BM_FormulaByHerbs(benchmark::State &state)
{
    const FormulaFile &file = formulaFile();
    formulas::FormulaListModel list;
    int found = search(file, {{}, herbsCondition(), {}, {}}, list);
    for (auto _ : state)
        found = search(file, {{}, herbsCondition(), {}, {}}, list);
    if (found == 0)
        state.SkipWithError("the search found nothing");
    state.counters["found"] = found;
}

// Arg 0: a part of a name in Chinese; 1: pinyin initials.
void BM_FormulaByName(benchmark::State &state)
{
    const FormulaFile &file = formulaFile();
    const QString name = ds::aliasKey(bench::generatedFormulaName(kCount / 3)).left(2);
    const QString typed = state.range(0) == 0 ? name : ds::pinyinInitials(name);
    formulas::FormulaListModel list;
    int found = search(file, {typed, {}, {}, {}}, list);
    for (auto _ : state)
        found = search(file, {typed, {}, {}, {}}, list);
    if (found == 0)
        state.SkipWithError("the search found nothing");
    state.counters["found"] = found;
}

void BM_HerbFormulaCount(benchmark::State &state)
{
    const FormulaFile &file = formulaFile();
    int count = 0;
    for (auto _ : state) {
        ds::Database db = ds::openDataFile(file.path);
        count = formulas::formulasHolding(db, herbWithForms(), file.tables);
    }
    state.counters["formulas"] = count;
}

// Arg 0: the index read from nothing; 1: after one formula changed, its compositions' names kept.
void BM_FormulaFirstHerbSearch(benchmark::State &state)
{
    const FormulaFile &file = formulaFile();
    formulas::FormulaListModel list;
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (state.range(0) == 0) {
            formulas::FormulaIndex::forget();
        } else {
            search(file, {}, list);
            ds::openDataFile(file.path).execute(QStringLiteral("UPDATE 中医方剂 SET 方剂心得 = ?1 WHERE rowid = 7"),
                                                {QString::number(++round)});
        }
        state.ResumeTiming();
        search(file, {{}, herbsCondition(), {}, {}}, list);
    }
}

} // namespace

BENCHMARK(BM_FormulaOpen)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_FormulaByHerbs)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_FormulaByName)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_HerbFormulaCount)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_FormulaFirstHerbSearch)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(3)->ReportAggregatesOnly(true);

namespace {

std::vector<bench::Figure> formulaFigures(const bench::Medians &medians)
{
    std::vector<bench::Figure> figures;
    const auto figure = [&](const char *benchmark, const char *name, double scale, const char *unit) {
        if (const auto found = medians.find(benchmark); found != medians.end())
            figures.push_back({name, found->second * scale, unit});
    };
    figure("BM_FormulaOpen", "formula_open_50000", 0.001, "s");
    figure("BM_FormulaByHerbs", "formula_by_herbs_50000", 1, "ms");
    figure("BM_FormulaByName/1", "formula_by_name_50000", 1, "ms");
    figure("BM_FormulaByName/0", "formula_by_name_part_50000", 1, "ms");
    figure("BM_HerbFormulaCount", "herb_formula_count_50000", 1, "ms");
    figure("BM_FormulaFirstHerbSearch/0", "formula_first_herb_search_50000", 1, "ms");
    figure("BM_FormulaFirstHerbSearch/1", "formula_herb_search_after_change_50000", 1, "ms");
    std::printf("\nformula screen at %d formulas over %d herbs (aims: opening 0.3 s, searches 30 ms, count 10 ms); "
                "the searches and the count with the index kept, the first search by herb reading every composition\n",
                kCount, kCount);
    return figures;
}

const int registered = bench::registerClosing(&formulaFigures);

} // namespace
