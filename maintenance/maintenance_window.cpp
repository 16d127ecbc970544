#include "maintenance/maintenance_window.h"

#include "startup/shell.h"
#include "ui/pointer.h"

#include <QCloseEvent>

namespace maint {

MaintenanceWindow::MaintenanceWindow(QWidget *mainWindow)
    : QWidget(mainWindow, Qt::Window | Qt::WindowTitleHint | Qt::CustomizeWindowHint)
{
}

bool MaintenanceWindow::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate || event->type() == QEvent::Show)
        ui::setNormalPointer();
    if (event->type() == QEvent::Show)
        activateWindow();
    return QWidget::event(event);
}

void MaintenanceWindow::closeEvent(QCloseEvent *event)
{
    if (m_busy) {
        event->ignore();
        return;
    }
    if (!m_menusGivenBack) {
        m_menusGivenBack = true;
        startup::unlockMenus();
    }
    event->accept();
}

void MaintenanceWindow::leave()
{
    ui::yield();
    close();
    ui::yield();
}

} // namespace maint
