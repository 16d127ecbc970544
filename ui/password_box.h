#pragma once

class QLineEdit;

namespace ui {

// A password box: every typed character shows as "*" (not the style's dot), at most
// maxLength characters.
void makePasswordBox(QLineEdit *box, int maxLength);

} // namespace ui
