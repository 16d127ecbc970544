#pragma once

// The text a libFuzzer input stands for. The first byte chooses how the rest is read: as UTF-8
// (short texts of the punctuation and brackets the rules care about) or as raw UTF-16 code units
// (any character, lone surrogates included). An empty input is the empty text.

#include <QString>

#include <cstddef>
#include <cstdint>

inline QString fuzzText(const uint8_t *data, size_t size)
{
    if (size == 0)
        return QString();
    const auto *rest = reinterpret_cast<const char *>(data + 1);
    const qsizetype length = qsizetype(size - 1);
    if (data[0] & 1)
        return QString::fromUtf16(reinterpret_cast<const char16_t *>(rest), length / 2);
    return QString::fromUtf8(rest, length);
}
