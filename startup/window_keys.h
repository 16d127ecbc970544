#pragma once

#include <QString>

class QWidget;

namespace startup {

// The help page's section of a screen, by its form name ("Frmzyyc" gives "entry"); the top of
// the page for a name it has none for.
QString helpSection(const QString &screen);

// Keys every window of the program answers alike, when no control of it took them: F1 opens the
// help at the window's section, and Esc presses the window's button that leaves it (the one
// captioned 退出, 确定退出 or 保存退出), so it goes as that button goes, with its questions.
// A window without such a button keeps its own Esc (the login's 取消, the about box's 确定).
void installWindowKeys(QWidget *window, const QString &helpSection);

} // namespace startup
