// Any bytes in the data file's place: the whole-file check and the open either succeed or throw
// a numbered error with a text, never crash; the check never changes the file; what opens can
// be read to its end.
#include "fuzz_properties.h"

#include "datastore/data_file.h"
#include "datastore/errors.h"

#include <QFile>
#include <QTemporaryDir>

namespace fuzz {
namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool numbered(const ds::RunError &error)
{
    return error.number() > 0 && !error.description().isEmpty();
}

} // namespace

std::string dataFileOpen(const uint8_t *data, size_t size)
{
    static QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("ccyc.mdb"));
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QFile::remove(path + QStringLiteral("-journal"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
            return "the fuzz file could not be written";
    }
    try {
        ds::Database::checkWholeFile(path, ds::kDataFileConnect);
    } catch (const ds::RunError &error) {
        if (!numbered(error))
            return "the check threw an error without number or text";
    }
    if (readAll(path) != bytes)
        return "the whole-file check changed the file";
    try {
        ds::Database db = ds::openDataFile(path);
        ds::Dynaset tables = db.openDynaset(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'"));
        QStringList names;
        for (; !tables.eof(); tables.moveNext())
            names.append(tables.field(0).toString());
        for (const QString &name : names) {
            ds::Dynaset rows = db.openDynaset(QStringLiteral("SELECT * FROM \"%1\"").arg(QString(name).replace('"', "\"\"")));
            while (!rows.eof())
                rows.moveNext();
        }
    } catch (const ds::RunError &error) {
        if (!numbered(error))
            return "the open threw an error without number or text";
    }
    return {};
}

} // namespace fuzz
