// The dictionary rebuild alone on generated herb tables, with a progress sink that shows
// nothing: what opening the browse screen pays before its own loading.

#include "dictionaries/build_dictionaries.h"
#include "generated_herbs.h"

#include "figures.h"

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

class SilentSink : public startup::ProgressSink {
public:
    void show() override {}
    void setPhaseText(const QString &) override {}
    void setPercentText(const QString &) override {}
    void setValue(double) override {}
    void unload() override {}
};

void BM_DictionaryRebuild(benchmark::State &state)
{
    const QString path = bench::GeneratedDataFile::shared(int(state.range(0))).path();
    SilentSink sink;
    for (auto _ : state)
        dict::BuildDictionaries(path, sink);
}

} // namespace

BENCHMARK(BM_DictionaryRebuild)->Arg(500)->Arg(5000)->Arg(50000)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);

namespace {

std::vector<bench::Figure> rebuildFigures(const bench::Medians &medians)
{
    for (const char *herbs : {"500", "5000", "50000"}) {
        const auto found = medians.find(std::string("BM_DictionaryRebuild/") + herbs);
        if (found != medians.end())
            std::printf("dictionary rebuild at %s herbs, median: %.1f ms\n", herbs, found->second);
    }
    return {};
}

const int registered = bench::registerClosing(&rebuildFigures);

} // namespace
