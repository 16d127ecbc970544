// Feeds arbitrary texts to NormalizeFieldText and stops at the first result that is not a
// stored form: empty, with a space at either end, without its final full stop, or changed
// when normalised again (a herb saved twice without an edit must stay as it is).
#include "herbs/normalize_field_text.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void check(const QString &input)
{
    const QString stored = herbs::NormalizeFieldText(input);
    if (stored.isEmpty())
        std::abort();
    if (herbs::NormalizeFieldText(stored) != stored)
        std::abort();
    if (stored == QLatin1String(" "))
        return;
    if (stored.contains(QLatin1Char(' '))) // at either end or inside
        std::abort();
    if (!stored.endsWith(QChar(0x3002)))
        std::abort();
    // A line feed is kept only as the second half of CR LF.
    for (qsizetype i = 0; i < stored.size(); ++i) {
        if (stored[i] == QLatin1Char('\n') && (i == 0 || stored[i - 1] != QLatin1Char('\r')))
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0) {
        check(QString());
        return 0;
    }
    // The first byte chooses how the rest is read: as UTF-8 (short texts of the punctuation the
    // rules care about) or as raw UTF-16 code units (any character, lone surrogates included).
    const auto *rest = reinterpret_cast<const char *>(data + 1);
    const qsizetype length = qsizetype(size - 1);
    if (data[0] & 1)
        check(QString::fromUtf16(reinterpret_cast<const char16_t *>(rest), length / 2));
    else
        check(QString::fromUtf8(rest, length));
    return 0;
}
