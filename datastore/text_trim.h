#pragma once

#include <QString>

namespace ds {

// A typed value without leading and trailing ASCII spaces, the trimming every screen applies.
// Line breaks, tabs and full-width spaces are part of the text and stay.
inline QString trimSpaces(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == QLatin1Char(' '))
        ++first;
    while (last > first && text[last - 1] == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first);
}

} // namespace ds
