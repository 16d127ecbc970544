#pragma once

#include <QIcon>

class QWidget;

namespace ui {

// The name the desktop knows the program by: its desktop entry, its icon and its windows' class.
inline constexpr char kDesktopName[] = "org.chengchuan.ccherb";

// The program's herb icon, in the sizes title bars, task bars and docks ask for.
QIcon programIcon();

// The rules every window of the program follows, whichever screen it belongs to: it carries the
// program's icon; Enter on a focused push button presses it, as Space does; a multi-line text
// box shows its selection only while it holds the focus (otherwise a chain of Enter presses
// leaves several boxes looking selected at once) and keeps its lines apart (withLinesApart).
// Call once, after the application is made.
void installWindowRules();

// A window's frame buttons follow its size: a window of fixed size offers no maximize button,
// one that may grow offers it. The placement helpers apply this to every screen they place.
void fitFrameButtons(QWidget *window);

} // namespace ui
