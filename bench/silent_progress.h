#pragma once

#include "startup/progress_sink.h"

namespace bench {

// A progress window that shows nothing: benchmarks measure the work, not the painting.
class SilentProgress : public startup::ProgressSink {
public:
    void show() override {}
    void setPhaseText(const QString &) override {}
    void setPercentText(const QString &) override {}
    void setValue(double) override {}
    void unload() override {}
};

} // namespace bench
