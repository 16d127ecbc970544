#include "ui/pointer.h"

#include <QApplication>
#include <QCursor>

namespace ui {

void setBusyPointer()
{
    if (!isPointerBusy())
        QApplication::setOverrideCursor(QCursor(Qt::BusyCursor));
}

void setNormalPointer()
{
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

bool isPointerBusy()
{
    return QApplication::overrideCursor() != nullptr;
}

void yield()
{
    QCoreApplication::processEvents();
}

} // namespace ui
