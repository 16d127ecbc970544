#include "herbs/gbk_bytes.h"

#include <unicode/ucnv.h>

#include <memory>

namespace herbs {
namespace {

struct ConverterCloser {
    void operator()(UConverter *converter) const { ucnv_close(converter); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

Converter openGbk()
{
    UErrorCode status = U_ZERO_ERROR;
    Converter converter(ucnv_open("GBK", &status));
    return U_FAILURE(status) ? nullptr : std::move(converter);
}

// Without the converter (an ICU built without its data) the code page's own rule stands in:
// one byte for ASCII, two for everything else.
int countByRule(const QString &text)
{
    int bytes = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        bytes += text[i].unicode() < 0x80 ? 1 : 2;
    }
    return bytes;
}

int countWith(UConverter *converter, const QString &text)
{
    if (text.isEmpty())
        return 0;
    UErrorCode status = U_ZERO_ERROR;
    ucnv_resetFromUnicode(converter);
    const int32_t length = ucnv_fromUChars(converter, nullptr, 0, reinterpret_cast<const UChar *>(text.utf16()),
                                           int32_t(text.size()), &status);
    if (status != U_BUFFER_OVERFLOW_ERROR && U_FAILURE(status))
        return countByRule(text);
    return length;
}

} // namespace

int gbkByteCount(const QString &text)
{
    const Converter converter = openGbk();
    return converter ? countWith(converter.get(), text) : countByRule(text);
}

QString clipToGbkBytes(const QString &text, int room)
{
    if (room <= 0)
        return {};
    const Converter converter = openGbk();
    auto count = [&](const QString &part) { return converter ? countWith(converter.get(), part) : countByRule(part); };
    qsizetype end = 0;
    int used = 0;
    while (end < text.size()) {
        qsizetype next = end + 1;
        if (text[end].isHighSurrogate() && next < text.size() && text[next].isLowSurrogate())
            ++next;
        const int bytes = count(text.mid(end, next - end));
        if (used + bytes > room)
            break;
        used += bytes;
        end = next;
    }
    return text.left(end);
}

} // namespace herbs
