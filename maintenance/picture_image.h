#pragma once

#include <QByteArray>
#include <QPixmap>
#include <QString>

namespace maint {

// The stored background as a picture; a null picture when nothing (or nothing readable) is
// stored.
QPixmap storedBackground();

// The picture in the file at path, or a null picture when the toolkit cannot read it. A
// picture larger than the screen comes at about the screen's size (the background is
// stretched to the window anyway), so a large photo costs no more memory than the screen.
// dimensions, when given, receives the size the file's header declares (invalid when the file
// is no picture at all).
QPixmap pictureFromFile(const QString &path, QSize *dimensions = nullptr);

} // namespace maint
