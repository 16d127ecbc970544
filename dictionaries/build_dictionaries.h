#pragma once

#include "startup/progress_sink.h"

#include <QString>

#include <functional>

namespace dict {

// Rebuilds both keyword dictionaries (药材功效, 药材主治) of the data file from the 功效 and 主治
// texts of every herb, showing progress in the sink: 0 to 50 for efficacy, 50 to 99 for
// indications, one change per herb; yield lets the windows repaint between herbs. The tables
// end holding exactly the rows of a rebuild from empty, but rows they already hold are not
// written again: with no herb changed since the last rebuild no dictionary row is written.
// All of it is one transaction: a rebuild that cannot finish leaves the dictionaries as they
// were. Failing steps are skipped and nothing is reported; the sink is always shown and
// unloaded.
void BuildDictionaries(const QString &dataFile, startup::ProgressSink &sink, const std::function<void()> &yield = {});

} // namespace dict
