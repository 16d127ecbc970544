#pragma once

#include "startup/progress_sink.h"

namespace bench {

// A progress window that shows nothing: benchmarks measure the work, not the painting.
using SilentProgress = startup::SilentProgress;

} // namespace bench
