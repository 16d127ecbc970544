#include "datastore/jet_like.h"

#include <unicode/uchar.h>
#include <unicode/uset.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <cstring>

namespace ds {
namespace {

std::vector<UChar32> decode(std::string_view utf8)
{
    std::vector<UChar32> out;
    out.reserve(utf8.size());
    const auto *bytes = reinterpret_cast<const uint8_t *>(utf8.data());
    const int32_t length = static_cast<int32_t>(utf8.size());
    for (int32_t i = 0; i < length;) {
        UChar32 c;
        U8_NEXT(bytes, i, length, c);
        out.push_back(c < 0 ? 0xFFFD : c);
    }
    return out;
}

// The text read one folded character at a time, so no copy of it is made.
class FoldedText {
public:
    explicit FoldedText(std::string_view utf8)
        : m_bytes(reinterpret_cast<const uint8_t *>(utf8.data()))
        , m_length(static_cast<int32_t>(utf8.size()))
    {
    }
    bool atEnd(int32_t offset) const { return offset >= m_length; }
    // The character at offset; offset moves past it.
    UChar32 next(int32_t &offset) const
    {
        UChar32 c;
        U8_NEXT(m_bytes, offset, m_length, c);
        return u_foldCase(c < 0 ? 0xFFFD : c, U_FOLD_CASE_DEFAULT);
    }

private:
    const uint8_t *m_bytes;
    int32_t m_length;
};

// Every character some other character folds to, in order: folding changes exactly the
// characters of Changes_When_Casefolded, so their folds are all there are.
std::vector<UChar32> foldTargets()
{
    std::vector<UChar32> targets;
    UErrorCode status = U_ZERO_ERROR;
    USet *changing = uset_openEmpty();
    uset_applyIntPropertyValue(changing, UCHAR_CHANGES_WHEN_CASEFOLDED, 1, &status);
    for (int32_t range = 0; U_SUCCESS(status) && range < uset_getItemCount(changing); ++range) {
        UChar32 first = 0;
        UChar32 last = 0;
        if (uset_getItem(changing, range, &first, &last, nullptr, 0, &status) != 0)
            continue; // a string, not a range of characters
        for (UChar32 c = first; c <= last; ++c)
            targets.push_back(u_foldCase(c, U_FOLD_CASE_DEFAULT));
    }
    uset_close(changing);
    std::sort(targets.begin(), targets.end());
    targets.erase(std::unique(targets.begin(), targets.end()), targets.end());
    return targets;
}

void appendUtf8(std::string &out, UChar32 c)
{
    uint8_t bytes[U8_MAX_LENGTH];
    int32_t length = 0;
    U8_APPEND_UNSAFE(bytes, length, c); // a character that folds only from itself is a valid one
    out.append(reinterpret_cast<const char *>(bytes), size_t(length));
}

} // namespace

bool foldsOnlyFromItself(int32_t c)
{
    static const std::vector<UChar32> targets = foldTargets();
    return c >= 0 && c <= 0x10FFFF && c != 0xFFFD && !U_IS_SURROGATE(c) && u_foldCase(c, U_FOLD_CASE_DEFAULT) == c
           && !std::binary_search(targets.begin(), targets.end(), c);
}

void LikePattern::chooseRequiredRun()
{
    std::string run;
    for (const Element &element : m_elements) {
        if (element.kind == Kind::Char && foldsOnlyFromItself(element.value)) {
            appendUtf8(run, element.value);
            continue;
        }
        if (run.size() > m_required.size())
            m_required = run;
        run.clear();
    }
    if (run.size() > m_required.size())
        m_required = run;
}

LikePattern::LikePattern(std::string_view patternUtf8, int32_t escape)
    : m_escape(escape >= 0 ? escape : kNoEscape)
{
    // The escape character is taken as given, only the characters matched are folded.
    const std::vector<UChar32> given = decode(patternUtf8);
    std::vector<UChar32> pattern(given.size());
    std::transform(given.begin(), given.end(), pattern.begin(),
                   [](UChar32 c) { return u_foldCase(c, U_FOLD_CASE_DEFAULT); });
    const auto literal = [this](UChar32 c) { m_elements.push_back({Kind::Char, c, 0, 0}); };
    for (size_t p = 0; p < pattern.size(); ++p) {
        const UChar32 c = pattern[p];
        if (given[p] == m_escape) {
            // An escape character with nothing after it stands for nothing: no text matches.
            if (p + 1 == pattern.size()) {
                m_matchesNone = true;
                return;
            }
            literal(pattern[++p]);
            continue;
        }
        switch (c) {
        case '*':
            // "**" is the same as "*".
            if (m_elements.empty() || m_elements.back().kind != Kind::AnyText)
                m_elements.push_back({Kind::AnyText, 0, 0, 0});
            continue;
        case '?':
            m_elements.push_back({Kind::AnyChar, 0, 0, 0});
            continue;
        case '#':
            m_elements.push_back({Kind::Digit, 0, 0, 0});
            continue;
        case '[':
            break;
        default:
            literal(c);
            continue;
        }
        // A list up to the next "]"; without one the "[" stands for itself.
        size_t i = p + 1;
        const bool negated = i < pattern.size() && pattern[i] == '!';
        if (negated)
            ++i;
        const auto begin = uint32_t(m_ranges.size());
        while (i < pattern.size() && pattern[i] != ']') {
            UChar32 low = pattern[i];
            UChar32 high = low;
            if (i + 2 < pattern.size() && pattern[i + 1] == '-' && pattern[i + 2] != ']') {
                high = pattern[i + 2];
                i += 2;
            }
            m_ranges.emplace_back(std::min(low, high), std::max(low, high));
            ++i;
        }
        if (i >= pattern.size()) {
            m_ranges.resize(begin);
            literal(c);
            continue;
        }
        m_elements.push_back({negated ? Kind::NotInList : Kind::List, 0, begin, uint32_t(m_ranges.size())});
        p = i;
    }
    m_matchesAll = m_elements.size() == 1 && m_elements.front().kind == Kind::AnyText;
    chooseRequiredRun();
}

bool LikePattern::matchOne(const Element &element, int32_t c) const
{
    switch (element.kind) {
    case Kind::AnyChar:
        return true;
    case Kind::Digit:
        return c >= '0' && c <= '9';
    case Kind::List:
    case Kind::NotInList: {
        bool found = false;
        for (uint32_t r = element.rangeBegin; r < element.rangeEnd && !found; ++r)
            found = c >= m_ranges[r].first && c <= m_ranges[r].second;
        return found != (element.kind == Kind::NotInList);
    }
    case Kind::Char:
        return element.value == c;
    case Kind::AnyText:
        break;
    }
    return false;
}

bool LikePattern::matches(std::string_view textUtf8) const
{
    if (m_matchesAll || m_matchesNone)
        return m_matchesAll;
    if (!m_required.empty() && !::memmem(textUtf8.data(), textUtf8.size(), m_required.data(), m_required.size()))
        return false;
    const FoldedText text(textUtf8);
    const size_t count = m_elements.size();
    // Iterative matching with one backtrack point for the last "*" seen: linear in practice and
    // never exponential, whatever the user types.
    int32_t t = 0;
    size_t p = 0;
    size_t starP = SIZE_MAX;
    int32_t starT = 0;
    while (!text.atEnd(t)) {
        if (p < count && m_elements[p].kind == Kind::AnyText) {
            starP = ++p;
            starT = t;
            continue;
        }
        int32_t after = t;
        const UChar32 c = text.next(after);
        if (p < count && matchOne(m_elements[p], c)) {
            ++p;
            t = after;
            continue;
        }
        if (starP == SIZE_MAX)
            return false;
        p = starP;
        text.next(starT); // the "*" takes one more character
        t = starT;
    }
    while (p < count && m_elements[p].kind == Kind::AnyText)
        ++p;
    return p == count;
}

bool jetLike(std::string_view text, std::string_view pattern)
{
    return LikePattern(pattern).matches(text);
}

} // namespace ds
