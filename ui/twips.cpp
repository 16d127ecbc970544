#include "ui/twips.h"

#include <QWidget>

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

void centreOnMain(QWidget *window, const QWidget *mainWindow, double heightDivisor, int topTwips)
{
    const QRect main = mainWindow ? mainWindow->geometry() : QRect(0, 0, 1024, 768);
    const int left = main.x() + (main.width() - window->width()) / 2;
    const int top = heightDivisor > 0 ? main.y() + int((main.height() - window->height()) / heightDivisor)
                                      : main.y() + twips(topTwips);
    window->move(left, top);
}

} // namespace ui
