#pragma once

class QAbstractItemView;
class QFont;

namespace ui {

// The height of a row of a list or grid: the font's natural line height with a little padding,
// so rows do not touch and no glyph is cut by the frame.
int rowHeight(const QFont &font);

// Gives every row of the view at least that height for the view's font. Call it once the
// view's font is set; it serves lists (through their items' size) and grids (through their
// rows, which the user may still resize).
void setComfortableRows(QAbstractItemView *view);

} // namespace ui
