#pragma once

class QWidget;

namespace ui {

// The control a window opens on: the one the window gave the focus to while it was built, or
// else the first control of its tab order (tab index 0); the window itself when it has none.
// Ask before the window is shown: activation may hand the focus to a default button.
QWidget *openingControl(QWidget *window);

} // namespace ui
