#include "fuzz_properties.h"

namespace fuzz {

QString textFromBytes(const uint8_t *data, size_t size)
{
    if (size == 0)
        return QString();
    const auto *rest = reinterpret_cast<const char *>(data + 1);
    const qsizetype length = qsizetype(size - 1);
    if (data[0] & 1)
        return QString::fromUtf16(reinterpret_cast<const char16_t *>(rest), length / 2);
    return QString::fromUtf8(rest, length);
}

} // namespace fuzz
