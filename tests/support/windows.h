#pragma once

#include <QApplication>
#include <QList>
#include <QPointer>
#include <QWidget>

// Deletes every top-level window a test left behind. Guarded: deleting one window also
// deletes the windows it owns (a combo box's list).
inline void deleteLeftoverWindows()
{
    QList<QPointer<QWidget>> windows;
    for (QWidget *window : QApplication::topLevelWidgets())
        windows.append(window);
    for (const QPointer<QWidget> &window : windows) {
        if (window && !window->parentWidget())
            delete window.data();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The one visible top-level window of that name, or nullptr.
inline QWidget *visibleWindow(const QString &name)
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->objectName() == name && window->isVisible())
            return window;
    }
    return nullptr;
}
