#include "startup/screens.h"

#include "startup/mdiflanx.h"
#include "startup/modulanxia.h"
#include "ui/focus.h"
#include "ui/twips.h"

#include <QHash>
#include <QPointer>
#include <QWidget>

namespace startup {
namespace {

QHash<QString, ScreenFactory> &factories()
{
    static QHash<QString, ScreenFactory> registry;
    return registry;
}

} // namespace

void registerScreen(const QString &name, ScreenFactory factory)
{
    factories().insert(name, std::move(factory));
}

void unregisterScreen(const QString &name)
{
    factories().remove(name);
}

bool hasScreen(const QString &name)
{
    return factories().contains(name);
}

QStringList registeredScreens()
{
    QStringList names = factories().keys();
    names.sort();
    return names;
}

QWidget *showScreen(const QString &name)
{
    const auto found = factories().constFind(name);
    if (found == factories().constEnd())
        return nullptr;
    QWidget *screen = (*found)(Modulanxia::mainWindow());
    if (!screen)
        return nullptr;
    if (screen->objectName().isEmpty())
        screen->setObjectName(name);
    screen->setAttribute(Qt::WA_DeleteOnClose);
    ui::ownByMain(screen, Modulanxia::mainWindow());
    // Opened from a menu, the screen takes the keyboard at once, on its first tab stop.
    QPointer<QWidget> opening = ui::openingControl(screen);
    screen->show();
    screen->raise();
    screen->activateWindow();
    if (opening)
        opening->setFocus(Qt::ActiveWindowFocusReason);
    return screen;
}

} // namespace startup
