// No keyword the splitter gives is empty or holds an ASCII space or a separator.
#include "fuzz_properties.h"

#include "dictionaries/keyword_splitter.h"

namespace fuzz {

std::string keywordSplitter(const uint8_t *data, size_t size)
{
    for (const QString &keyword : dict::splitKeywords(textFromBytes(data, size))) {
        if (keyword.isEmpty())
            return "empty keyword";
        for (const QChar c : keyword) {
            if (c == QLatin1Char(' ') || dict::isKeywordSeparator(c))
                return "keyword holding a space or a separator";
        }
    }
    return {};
}

} // namespace fuzz
