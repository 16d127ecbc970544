#pragma once

#include <QWidget>

namespace maint {

// What the maintenance screens share: the normal pointer once they show, and a way out that
// gives the menus back exactly once, however the window is closed. While busy (a copy or an
// import inside one of its handlers) the window refuses to close.
class MaintenanceWindow : public QWidget {
    Q_OBJECT
public:
    explicit MaintenanceWindow(QWidget *mainWindow);

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

    void setBusy(bool busy) { m_busy = busy; }
    bool busy() const { return m_busy; }
    // Closes the screen through its own button: lets the windows repaint around the close.
    void leave();

private:
    bool m_busy = false;
    bool m_menusGivenBack = false;
};

} // namespace maint
