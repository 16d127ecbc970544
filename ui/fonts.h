#pragma once

#include <QFont>
#include <QString>

namespace ui {

// Maps the Chinese font names the screens ask for (宋体, 楷体_GB2312, 隶书) onto the CJK
// fonts installed with the program.
void installFontSubstitutions();

// A font by its Chinese name and size in points.
QFont chineseFont(const QString &family, double points, bool bold = false);

} // namespace ui
