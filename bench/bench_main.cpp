// Runs every registered benchmark, then each file's closing step, then the figure lines.

#include "figures.h"

#include <benchmark/benchmark.h>

#include <cstdio>

namespace bench {
namespace {

std::vector<Closing> &closings()
{
    static std::vector<Closing> all;
    return all;
}

// Prints as usual and keeps each benchmark's median real time for the closing steps.
class MedianReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            std::string key = run.run_name.function_name;
            if (!run.run_name.args.empty())
                key += "/" + run.run_name.args;
            // A benchmark run once has no median row: its single run stands for it.
            if (run.aggregate_name == "median" || (run.aggregate_name.empty() && !medians.count(key)))
                medians[key] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    Medians medians;
};

} // namespace

int registerClosing(Closing closing)
{
    closings().push_back(closing);
    return 0;
}

} // namespace bench

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    bench::MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::vector<bench::Figure> figures;
    for (bench::Closing closing : bench::closings()) {
        for (bench::Figure &figure : closing(reporter.medians))
            figures.push_back(std::move(figure));
    }
    std::printf("\n");
    for (const bench::Figure &figure : figures)
        std::printf("figure: %s = %.3f %s\n", figure.name.c_str(), figure.value, figure.unit.c_str());
    benchmark::Shutdown();
    return 0;
}
