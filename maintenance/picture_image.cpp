#include "maintenance/picture_image.h"

#include "datastore/data_file.h"
#include "maintenance/picture_store.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImageReader>
#include <QScreen>

namespace maint {
namespace {

// Most formats (JPEG among them) decode straight to the smaller size; the others decode whole
// first, and may use this much memory for it: a 48-megapixel photo takes about 190 MB.
constexpr int kDecodeLimitMegabytes = 512;

QSize screenPixels()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->size() * screen->devicePixelRatio() : QSize(1920, 1080);
}

QImage readPicture(QImageReader &reader, QSize *dimensions)
{
    reader.setDecideFormatFromContent(true);
    if (QImageReader::allocationLimit() < kDecodeLimitMegabytes)
        QImageReader::setAllocationLimit(kDecodeLimitMegabytes);
    const QSize size = reader.size();
    if (dimensions)
        *dimensions = size;
    // Still covering the screen, never larger than the picture itself.
    const QSize covering = size.scaled(screenPixels(), Qt::KeepAspectRatioByExpanding);
    if (size.isValid() && covering.width() < size.width())
        reader.setScaledSize(covering);
    return reader.read();
}

} // namespace

QPixmap storedBackground()
{
    ds::Database db = ds::openDataFile();
    QByteArray bytes = readStoredPicture(db);
    db.close();
    if (bytes.isEmpty())
        return {};
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    return QPixmap::fromImage(readPicture(reader, nullptr));
}

QPixmap pictureFromFile(const QString &path, QSize *dimensions)
{
    QImageReader reader(path);
    return QPixmap::fromImage(readPicture(reader, dimensions));
}

} // namespace maint
