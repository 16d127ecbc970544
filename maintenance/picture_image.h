#pragma once

#include <QByteArray>
#include <QPixmap>
#include <QString>

namespace maint {

// The stored background as a picture; a null picture when nothing (or nothing readable) is
// stored.
QPixmap storedBackground();

// The picture in the file at path, or a null picture when the toolkit cannot read it.
QPixmap pictureFromFile(const QString &path);

} // namespace maint
