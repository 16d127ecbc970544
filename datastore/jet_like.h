#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ds {

// The data file's "like" rules: "*" any text, "?" one character, "#" one digit 0-9,
// "[...]" one character of a list or range, "[!...]" one character not in it. Letters compare
// without regard to case. A "[" without its "]" stands for itself. Both texts are UTF-8.
bool jetLike(std::string_view text, std::string_view pattern);

// Whether a text that matches a character c, case aside, must hold c itself: no other
// character folds to c (nor does a broken byte sequence, read as U+FFFD).
bool foldsOnlyFromItself(int32_t c);

// A pattern read once and matched against many texts: a statement compiles its pattern for
// the first row and keeps it for the others. With an escape character, the character after it
// stands for itself, whatever it is ("[", "*", "?", "#" or the escape character); the escape
// character is matched as given, not folded, and one that ends the pattern matches no text.
class LikePattern {
public:
    static constexpr int32_t kNoEscape = -1;
    explicit LikePattern(std::string_view pattern, int32_t escape = kNoEscape);

    bool matches(std::string_view text) const;
    int32_t escape() const { return m_escape; }

private:
    enum class Kind : uint8_t { AnyText, AnyChar, Digit, List, NotInList, Char };
    struct Element {
        Kind kind;
        int32_t value;       // the character of a Char (case-folded)
        uint32_t rangeBegin; // a list's ranges in m_ranges
        uint32_t rangeEnd;
    };
    bool matchOne(const Element &element, int32_t c) const;
    void chooseRequiredRun();

    std::vector<Element> m_elements;
    std::vector<std::pair<int32_t, int32_t>> m_ranges;
    int32_t m_escape;
    bool m_matchesAll = false;  // only "*": every text matches, nothing to read
    bool m_matchesNone = false; // ends in its escape character
    // The longest run of literal characters that only they themselves fold to, as UTF-8: a
    // text without these bytes cannot match, which a byte search tells long before the
    // matcher would.
    std::string m_required;
};

} // namespace ds
