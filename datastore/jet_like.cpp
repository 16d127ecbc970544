#include "datastore/jet_like.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <vector>

namespace ds {
namespace {

std::vector<UChar32> decodeFolded(std::string_view utf8)
{
    std::vector<UChar32> out;
    out.reserve(utf8.size());
    const auto *bytes = reinterpret_cast<const uint8_t *>(utf8.data());
    const int32_t length = static_cast<int32_t>(utf8.size());
    for (int32_t i = 0; i < length;) {
        UChar32 c;
        U8_NEXT(bytes, i, length, c);
        if (c < 0)
            c = 0xFFFD;
        out.push_back(u_foldCase(c, U_FOLD_CASE_DEFAULT));
    }
    return out;
}

struct CharList {
    bool negated = false;
    std::vector<std::pair<UChar32, UChar32>> ranges;
    size_t end = 0; // position after the closing "]"

    bool contains(UChar32 c) const
    {
        bool found = false;
        for (const auto &[low, high] : ranges)
            found = found || (c >= low && c <= high);
        return found != negated;
    }
};

// Reads the list that opens at pattern[open] ("["); false when it has no closing "]".
bool readCharList(const std::vector<UChar32> &pattern, size_t open, CharList &list)
{
    size_t i = open + 1;
    if (i < pattern.size() && pattern[i] == '!') {
        list.negated = true;
        ++i;
    }
    while (i < pattern.size() && pattern[i] != ']') {
        UChar32 low = pattern[i];
        UChar32 high = low;
        if (i + 2 < pattern.size() && pattern[i + 1] == '-' && pattern[i + 2] != ']') {
            high = pattern[i + 2];
            i += 2;
        }
        if (high < low)
            std::swap(low, high);
        list.ranges.emplace_back(low, high);
        ++i;
    }
    if (i >= pattern.size())
        return false;
    list.end = i + 1;
    return true;
}

// One pattern element matched against one character; advances p past the element.
bool matchOne(const std::vector<UChar32> &pattern, size_t &p, UChar32 c)
{
    const UChar32 element = pattern[p];
    if (element == '?') {
        ++p;
        return true;
    }
    if (element == '#') {
        ++p;
        return c >= '0' && c <= '9';
    }
    if (element == '[') {
        CharList list;
        if (readCharList(pattern, p, list)) {
            p = list.end;
            return list.contains(c);
        }
    }
    ++p;
    return element == c;
}

} // namespace

bool jetLike(std::string_view textUtf8, std::string_view patternUtf8)
{
    const std::vector<UChar32> text = decodeFolded(textUtf8);
    const std::vector<UChar32> pattern = decodeFolded(patternUtf8);

    // Iterative matching with one backtrack point for the last "*" seen: linear in practice and
    // never exponential, whatever the user types.
    size_t t = 0;
    size_t p = 0;
    size_t starP = std::string_view::npos;
    size_t starT = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = ++p;
            starT = t;
            continue;
        }
        size_t next = p;
        if (p < pattern.size() && matchOne(pattern, next, text[t])) {
            p = next;
            ++t;
            continue;
        }
        if (starP == std::string_view::npos)
            return false;
        p = starP;
        t = ++starT;
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

} // namespace ds
