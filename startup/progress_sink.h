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

} // namespace startup
