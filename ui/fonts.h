#pragma once

#include <QFont>
#include <QString>

namespace ui {

// Sets the program's font to a Simplified Chinese sans-serif family and maps the Chinese font
// names the screens ask for (宋体, 楷体_GB2312, 隶书) onto the Simplified Chinese fonts installed
// with the program, whatever the locale: under an English one the fallback for Chinese text
// would otherwise be Japanese-style glyphs.
void installFontSubstitutions();

// A font by its Chinese name and size in points.
QFont chineseFont(const QString &family, double points, bool bold = false);

// The font a multi-line text box draws in: the font itself, or, when its face sets lines closer
// than a fifth of a character apart (AR PL UMing for 宋体, whose lines of ideographs touch), the
// same font in the first of its family's substitutes that keeps lines apart.
QFont withLinesApart(const QFont &font);

} // namespace ui
