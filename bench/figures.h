#pragma once

// The closing lines of the benchmark program. Each benchmark file registers a closing step that
// reads the medians of its runs, prints what they mean, and hands back its figures; the program
// ends with one "figure: NAME = VALUE UNIT" line per figure, so runs compare line by line.

#include <map>
#include <string>
#include <vector>

namespace bench {

// Median real time of each benchmark, in the unit the benchmark reports, keyed by its function
// name and, for a benchmark with arguments, "/" and the arguments: "BM_Open/5000".
using Medians = std::map<std::string, double>;

struct Figure {
    std::string name;
    double value = 0;
    std::string unit;
};

using Closing = std::vector<Figure> (*)(const Medians &medians);

// Returns a dummy value so a file can register at namespace scope:
//   const int registered = bench::registerClosing(&myClosing);
int registerClosing(Closing closing);

} // namespace bench
