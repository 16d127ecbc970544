// Feeds arbitrary texts to the keyword splitter and stops at the first keyword that could not
// have come from it: empty, or holding an ASCII space or a separator.
#include "dictionaries/keyword_splitter.h"

#include "tests/support/fuzz_text.h"

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
    check(fuzzText(data, size));
    return 0;
}
