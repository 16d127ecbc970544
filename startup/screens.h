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
// The screen as its menu command opens it: prepared, then shown as showScreen shows it. Such a
// screen gives the menus back when it is left; openedFromMenu tells it so.
QWidget *openScreenFromMenu(const QString &name);
bool openedFromMenu(const QWidget *screen);

// Work one screen hands another by text (a formula's composition to the prescription pad). The
// receiving screen's folder registers what it does with the text.
using ScreenInbox = std::function<void(QWidget *screen, const QString &text)>;
void registerInbox(const QString &name, ScreenInbox inbox);
// Gives the text to the open screen of that name, or first opens one beside the sender, not
// through its menu command (the menus stay as the sender left them), and brings it to the front.
// False when no such screen or inbox is registered.
bool sendToScreen(const QString &name, const QString &text);

} // namespace startup
