#include "maintenance/picture_image.h"

#include "datastore/data_file.h"
#include "maintenance/picture_store.h"

#include <QImageReader>

namespace maint {

QPixmap storedBackground()
{
    ds::Database db = ds::openDataFile();
    const QByteArray bytes = readStoredPicture(db);
    db.close();
    QPixmap picture;
    if (!bytes.isEmpty())
        picture.loadFromData(bytes);
    return picture;
}

QPixmap pictureFromFile(const QString &path)
{
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    return QPixmap::fromImage(reader.read());
}

} // namespace maint
