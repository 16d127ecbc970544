#pragma once

#include "startup/mdiflanx.h"

#include <QApplication>
#include <QList>
#include <QPointer>
#include <QWidget>

#include <gtest/gtest.h>

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

// The main window start-up showed and registered as the screens' shell; nullptr when there is none.
inline startup::MDIFlanx *programWindow()
{
    return qobject_cast<startup::MDIFlanx *>(startup::mainWindow());
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

// The control of that type and objectName inside a window; the test fails when there is none.
template <typename T>
T *namedControl(const QObject *window, const QString &name)
{
    T *found = window->findChild<T *>(name);
    EXPECT_NE(found, nullptr) << "no control " << name.toStdString();
    return found;
}
