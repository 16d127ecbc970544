#pragma once

#include <QRect>

class QWidget;

namespace ui {

// Positions and sizes are given in twips (1440 to the inch) at the standard 96 dots per inch:
// 15 twips to a pixel.
int twips(int value);
QRect twipsRect(int left, int top, int width, int height);

// Places a control in its parent, in twips.
void placeTwips(QWidget *widget, int left, int top, int width, int height);
// Sets a window's inner (client) size, in twips, and fixes it.
void fixClientSizeTwips(QWidget *window, int width, int height);

// Makes the window owned by the main window: the window system keeps it above the main window
// and gives it no task-bar entry of its own; it keeps its own title. The placement helpers
// below do this too. Its frame buttons follow its size (fitFrameButtons).
void ownByMain(QWidget *window, const QWidget *mainWindow);

// The main window's client area in screen coordinates: the area below its menu bar where the
// background picture shows. Screens are placed relative to it, so none covers the menus.
QRect mainClientArea(const QWidget *mainWindow);
// Moves a window so its left edge is at (client width - own width) / 2 and its top at
// (client height - own height) / divisor, both from the main window's client area; a divisor
// of 0 puts the top at topTwips below the client area's top instead.
void centreOnMain(QWidget *window, const QWidget *mainWindow, double heightDivisor, int topTwips = 0);
// Left edge as centreOnMain; top edge at (screen height - own height) / 3, but never above the
// client area's top.
void centreOnMainAtScreenThird(QWidget *window, const QWidget *mainWindow);

} // namespace ui
