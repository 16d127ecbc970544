#pragma once

#include "startup/progress_sink.h"

#include <QStringList>

// Records what a job tells its progress window, one entry a call: "show", "phase:<text>",
// "percent:<text>", "value:<number>", "unload".
class RecordingSink : public startup::ProgressSink {
public:
    void show() override { calls.append("show"); }
    void setPhaseText(const QString &text) override { calls.append("phase:" + text); }
    void setPercentText(const QString &text) override { calls.append("percent:" + text); }
    void setValue(double percent) override { calls.append("value:" + QString::number(percent)); }
    void unload() override { calls.append("unload"); }

    // The entries of one kind, without their prefix.
    QStringList of(const QString &kind) const
    {
        QStringList values;
        for (const QString &call : calls) {
            if (call.startsWith(kind + ":"))
                values.append(call.mid(kind.size() + 1));
        }
        return values;
    }

    QStringList calls;
};
