#include "startup/screens.h"

#include "startup/shell.h"
#include "startup/window_keys.h"
#include "ui/focus.h"
#include "ui/twips.h"

#include <QHash>
#include <QPointer>
#include <QWidget>

namespace startup {
namespace {

struct Registration {
    ScreenFactory make;
    ScreenPreparation prepare;
    ScreenInbox inbox;
    QPointer<QWidget> open; // the last one shown, while it lives
};

const char *const kFromMenu = "ccOpenedFromMenu";

QHash<QString, Registration> &factories()
{
    static QHash<QString, Registration> registry;
    return registry;
}

} // namespace

void registerScreen(const QString &name, ScreenFactory factory, ScreenPreparation prepare)
{
    factories().insert(name, {std::move(factory), std::move(prepare), {}, {}});
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
    QWidget *screen = found->make(mainWindow());
    if (!screen)
        return nullptr;
    if (screen->objectName().isEmpty())
        screen->setObjectName(name);
    screen->setAttribute(Qt::WA_DeleteOnClose);
    factories()[name].open = screen;
    ui::ownByMain(screen, mainWindow());
    installWindowKeys(screen, helpSection(name));
    // Opened from a menu, the screen takes the keyboard at once, on its first tab stop.
    QPointer<QWidget> opening = ui::openingControl(screen);
    screen->show();
    screen->raise();
    screen->activateWindow();
    if (opening)
        opening->setFocus(Qt::ActiveWindowFocusReason);
    return screen;
}

QWidget *openScreenFromMenu(const QString &name)
{
    const auto found = factories().constFind(name);
    if (found != factories().constEnd() && found->prepare) {
        // A copy: the preparation may yield to events that change the registry.
        const ScreenPreparation prepare = found->prepare;
        prepare(mainWindow());
    }
    QWidget *screen = showScreen(name);
    if (screen)
        screen->setProperty(kFromMenu, true);
    return screen;
}

bool openedFromMenu(const QWidget *screen)
{
    return screen && screen->property(kFromMenu).toBool();
}

void registerInbox(const QString &name, ScreenInbox inbox)
{
    const auto found = factories().find(name);
    if (found != factories().end())
        found->inbox = std::move(inbox);
}

bool sendToScreen(const QString &name, const QString &text)
{
    const auto found = factories().constFind(name);
    if (found == factories().constEnd() || !found->inbox)
        return false;
    const ScreenInbox inbox = found->inbox;
    QWidget *screen = found->open ? found->open.data() : showScreen(name);
    if (!screen)
        return false;
    inbox(screen, text);
    screen->show();
    screen->raise();
    screen->activateWindow();
    return true;
}

} // namespace startup
