#pragma once

#include <QByteArray>
#include <QString>

namespace herbs {

// Builds a zip archive whose entries are stored, not compressed. An OpenDocument package
// needs its first entry ("mimetype") stored anyway, and a herb's page is a few kilobytes.
class StoredZipWriter {
public:
    void add(const QString &name, const QByteArray &data);
    QByteArray finish();

private:
    QByteArray m_archive;
    QByteArray m_directory;
    quint16 m_entries = 0;
};

quint32 crc32(const QByteArray &data);

} // namespace herbs
