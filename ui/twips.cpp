#include "ui/twips.h"

#include "ui/window_rules.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace ui {

int twips(int value)
{
    return int(std::lround(value / 15.0));
}

QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(twips(left), twips(top), twips(width), twips(height));
}

void placeTwips(QWidget *widget, int left, int top, int width, int height)
{
    widget->setGeometry(twipsRect(left, top, width, height));
}

void fixClientSizeTwips(QWidget *window, int width, int height)
{
    window->setFixedSize(twips(width), twips(height));
}

void ownByMain(QWidget *window, const QWidget *mainWindow)
{
    if (!mainWindow || window == mainWindow)
        return;
    // A plain window is never transient for its parent on X11; a dialog-type window is, with
    // its title and frame buttons as given.
    if (window->windowType() == Qt::Window)
        window->setWindowFlags((window->windowFlags() & ~Qt::WindowType_Mask) | Qt::Dialog);
    fitFrameButtons(window);
}

QRect mainClientArea(const QWidget *mainWindow)
{
    if (!mainWindow)
        return QRect(0, 0, 1024, 768);
    const auto *main = qobject_cast<const QMainWindow *>(mainWindow);
    const QWidget *area = main ? main->centralWidget() : nullptr;
    if (!area)
        return mainWindow->geometry();
    return QRect(area->mapToGlobal(QPoint(0, 0)), area->size());
}

namespace {

int centredLeft(const QWidget *window, const QRect &client)
{
    return client.x() + (client.width() - window->width()) / 2;
}

} // namespace

void centreOnMain(QWidget *window, const QWidget *mainWindow, double heightDivisor, int topTwips)
{
    ownByMain(window, mainWindow);
    const QRect client = mainClientArea(mainWindow);
    const int top = heightDivisor > 0 ? client.y() + int((client.height() - window->height()) / heightDivisor)
                                      : client.y() + twips(topTwips);
    // A window taller than the area still starts below the menus.
    window->move(centredLeft(window, client), std::max(top, client.y()));
}

void centreOnMainAtScreenThird(QWidget *window, const QWidget *mainWindow)
{
    ownByMain(window, mainWindow);
    const QRect client = mainClientArea(mainWindow);
    const QScreen *screen = mainWindow ? mainWindow->screen() : QGuiApplication::primaryScreen();
    const int screenHeight = screen ? screen->geometry().height() : 768;
    window->move(centredLeft(window, client), std::max((screenHeight - window->height()) / 3, client.y()));
}

} // namespace ui
