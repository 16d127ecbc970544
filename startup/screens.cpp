#include "startup/screens.h"

#include "startup/mdiflanx.h"
#include "startup/modulanxia.h"

#include <QHash>
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
    screen->show();
    return screen;
}

} // namespace startup
