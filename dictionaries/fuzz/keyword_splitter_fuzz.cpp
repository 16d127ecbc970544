// Feeds arbitrary texts to the keyword splitter and stops at the first keyword that could not
// have come from it: empty, or holding an ASCII space or a separator.
#include "dictionaries/keyword_splitter.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void check(const QString &text)
{
    for (const QString &keyword : dict::splitKeywords(text)) {
        if (keyword.isEmpty())
            std::abort();
        for (const QChar c : keyword) {
            if (c == QLatin1Char(' ') || dict::isKeywordSeparator(c))
                std::abort();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0) {
        check(QString());
        return 0;
    }
    // The first byte chooses how the rest is read: as UTF-8 (texts of separators and brackets)
    // or as raw UTF-16 code units (any character, lone surrogates included).
    const auto *rest = reinterpret_cast<const char *>(data + 1);
    const qsizetype length = qsizetype(size - 1);
    if (data[0] & 1)
        check(QString::fromUtf16(reinterpret_cast<const char16_t *>(rest), length / 2));
    else
        check(QString::fromUtf8(rest, length));
    return 0;
}
