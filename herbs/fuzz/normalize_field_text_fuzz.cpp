// Feeds arbitrary texts to NormalizeFieldText and stops at the first result that is not a
// stored form: empty, with a space at either end, without its final full stop, or changed
// when normalised again (a herb saved twice without an edit must stay as it is).
#include "herbs/normalize_field_text.h"

#include "tests/support/fuzz_text.h"

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
    check(fuzzText(data, size));
    return 0;
}
