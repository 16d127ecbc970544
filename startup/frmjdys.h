#pragma once

#include "startup/progress_sink.h"

#include <QWidget>

class QLabel;
class QProgressBar;

namespace startup {

// The progress window of long jobs: a bar and two centred labels, kept above other windows.
class Frmjdys : public QWidget, public ProgressSink {
    Q_OBJECT
public:
    explicit Frmjdys(QWidget *mainWindow);

    void show() override;
    void setPhaseText(const QString &text) override;
    void setPercentText(const QString &text) override;
    void setValue(double percent) override;
    void unload() override;

private:
    QWidget *m_mainWindow;
    QProgressBar *m_bar;
    QLabel *m_percent;
    QLabel *m_phase;
};

} // namespace startup
