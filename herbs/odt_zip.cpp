#include "herbs/odt_zip.h"

#include <array>

namespace herbs {
namespace {

void put16(QByteArray &out, quint32 value)
{
    out.append(char(value & 0xff));
    out.append(char((value >> 8) & 0xff));
}

void put32(QByteArray &out, quint32 value)
{
    put16(out, value & 0xffff);
    put16(out, value >> 16);
}

constexpr quint32 kLocalHeader = 0x04034b50;
constexpr quint32 kCentralHeader = 0x02014b50;
constexpr quint32 kEndOfDirectory = 0x06054b50;
constexpr quint16 kVersion = 20;
constexpr quint16 kUtf8Names = 0x0800;
constexpr quint16 kDosDate1980 = (0 << 9) | (1 << 5) | 1; // 1980-01-01, the zip epoch

} // namespace

quint32 crc32(const QByteArray &data)
{
    static const auto table = [] {
        std::array<quint32, 256> t{};
        for (quint32 n = 0; n < 256; ++n) {
            quint32 c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xedb88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    quint32 crc = 0xffffffffu;
    for (char byte : data)
        crc = table[(crc ^ quint8(byte)) & 0xff] ^ (crc >> 8);
    return crc ^ 0xffffffffu;
}

void StoredZipWriter::add(const QString &name, const QByteArray &data)
{
    const QByteArray fileName = name.toUtf8();
    const quint32 offset = quint32(m_archive.size());
    const quint32 crc = crc32(data);
    const quint32 size = quint32(data.size());

    auto common = [&](QByteArray &out) {
        put16(out, kVersion);     // version needed
        put16(out, kUtf8Names);   // flags
        put16(out, 0);            // method: stored
        put16(out, 0);            // time
        put16(out, kDosDate1980); // date
        put32(out, crc);
        put32(out, size); // compressed
        put32(out, size); // uncompressed
        put16(out, quint32(fileName.size()));
        put16(out, 0); // extra field length
    };

    put32(m_archive, kLocalHeader);
    common(m_archive);
    m_archive.append(fileName);
    m_archive.append(data);

    put32(m_directory, kCentralHeader);
    put16(m_directory, kVersion); // made by
    common(m_directory);
    put16(m_directory, 0); // comment length
    put16(m_directory, 0); // disk
    put16(m_directory, 0); // internal attributes
    put32(m_directory, 0); // external attributes
    put32(m_directory, offset);
    m_directory.append(fileName);
    ++m_entries;
}

QByteArray StoredZipWriter::finish()
{
    QByteArray out = m_archive;
    out.append(m_directory);
    put32(out, kEndOfDirectory);
    put16(out, 0); // this disk
    put16(out, 0); // disk with the directory
    put16(out, m_entries);
    put16(out, m_entries);
    put32(out, quint32(m_directory.size()));
    put32(out, quint32(m_archive.size()));
    put16(out, 0); // comment length
    return out;
}

} // namespace herbs
