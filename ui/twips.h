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
// Moves a window so its left edge is at (main width - own width) / 2 and its top at
// (main height - own height) / divisor; a divisor of 0 puts the top at topTwips instead.
void centreOnMain(QWidget *window, const QWidget *mainWindow, double heightDivisor, int topTwips = 0);

} // namespace ui
