#pragma once

#include <QWidget>

class QLabel;

namespace maint {

// The picture window: a tiny window that puts the stored picture on the main window's
// background when it loads; the main window shows it at its own load and closes it again.
class FrmPict : public QWidget {
    Q_OBJECT
public:
    explicit FrmPict(QWidget *mainWindow);

private:
    QLabel *m_picture;
};

} // namespace maint
