#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace startup {

// Makes a screen's window; the main window is its parent.
using ScreenFactory = std::function<QWidget *(QWidget *mainWindow)>;
// What a screen's menu command does before the screen is made, the menus locked and the
// pointer busy (the browse screen's dictionaries are rebuilt first).
using ScreenPreparation = std::function<void(QWidget *mainWindow)>;

// Screens register themselves by their form name ("Frmzyyc", "frmLogin", ...), so the shell
// opens them without knowing their classes.
void registerScreen(const QString &name, ScreenFactory factory, ScreenPreparation prepare = {});
void unregisterScreen(const QString &name);
bool hasScreen(const QString &name);
// The names of every registered screen, sorted.
QStringList registeredScreens();

// Makes the screen and shows it, not modal; nullptr when no such screen is registered.
QWidget *showScreen(const QString &name);
// The screen as its menu command opens it: prepared, then shown as showScreen shows it.
QWidget *openScreenFromMenu(const QString &name);

} // namespace startup
