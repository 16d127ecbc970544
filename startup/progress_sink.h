#pragma once

#include <QString>

namespace startup {

// What a long job may tell the progress window; the window computes nothing itself.
class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    virtual void show() = 0;
    virtual void setPhaseText(const QString &text) = 0;   // Labprg
    virtual void setPercentText(const QString &text) = 0; // Labpre
    virtual void setValue(double percent) = 0;            // ProgBar, 0 to 100
    virtual void unload() = 0;
};

// A progress window that shows nothing, for work run without a screen to watch it (benchmarks,
// the build tool that draws the help page's pictures).
class SilentProgress : public ProgressSink {
public:
    void show() override {}
    void setPhaseText(const QString &) override {}
    void setPercentText(const QString &) override {}
    void setValue(double) override {}
    void unload() override {}
};

} // namespace startup
