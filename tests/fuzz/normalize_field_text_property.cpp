// A stored form is never empty, holds no space (unless it is the one-space form of an empty
// field), ends with its full stop, keeps a line feed only as the second half of CR LF, and
// normalising it again changes nothing (a herb saved twice without an edit stays as it is).
#include "fuzz_properties.h"

#include "herbs/normalize_field_text.h"

namespace fuzz {

std::string normalizeFieldText(const uint8_t *data, size_t size)
{
    const QString stored = herbs::NormalizeFieldText(textFromBytes(data, size));
    if (stored.isEmpty())
        return "empty stored form";
    if (herbs::NormalizeFieldText(stored) != stored)
        return "stored form changed when normalised again";
    if (stored == QLatin1String(" "))
        return {};
    if (stored.contains(QLatin1Char(' ')))
        return "space in the stored form";
    if (!stored.endsWith(QChar(0x3002)))
        return "stored form without its final full stop";
    for (qsizetype i = 0; i < stored.size(); ++i) {
        if (stored[i] == QLatin1Char('\n') && (i == 0 || stored[i - 1] != QLatin1Char('\r')))
            return "line feed without its carriage return";
    }
    return {};
}

} // namespace fuzz
