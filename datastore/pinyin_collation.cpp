#include "datastore/pinyin_collation.h"

#include "datastore/jet_like.h"
#include "datastore/pinyin_initials.h"

#include <sqlcipher/sqlite3.h>
#include <unicode/uchar.h>
#include <unicode/ucol.h>
#include <unicode/unorm2.h>
#include <unicode/uset.h>
#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

namespace ds {
namespace {

struct CollatorCloser {
    void operator()(UCollator *collator) const { ucol_close(collator); }
};
using CollatorPointer = std::unique_ptr<UCollator, CollatorCloser>;

CollatorPointer openCollator(UColAttributeValue strength)
{
    UErrorCode status = U_ZERO_ERROR;
    CollatorPointer opened(ucol_open("zh", &status));
    if (U_SUCCESS(status) && strength != UCOL_DEFAULT)
        ucol_setAttribute(opened.get(), UCOL_STRENGTH, strength, &status);
    return U_SUCCESS(status) ? std::move(opened) : nullptr;
}

// The collator's order, found without the collator for most pairs. Two texts are equal up to
// their first differing character; when each of those two characters stands alone (no
// contraction, expansion or context reaches it, no decomposition or combining class) and has
// a primary weight of its own, the two weights decide at the first level, where the collator
// would decide too. The weights of such characters are read from the collator once, when a
// character is first met; every other pair is left to it.
class PinyinOrder {
public:
    PinyinOrder()
        : m_full(openCollator(UCOL_DEFAULT))
        , m_primary(openCollator(UCOL_PRIMARY))
        , m_weights(0x10000, kUnknown)
    {
        if (!m_full || !m_primary)
            return;
        UErrorCode status = U_ZERO_ERROR;
        USet *contractions = uset_openEmpty();
        USet *expansions = uset_openEmpty();
        ucol_getContractionsAndExpansions(m_full.get(), contractions, expansions, true, &status);
        m_reached = uset_openEmpty();
        for (USet *set : {contractions, expansions}) {
            std::vector<UChar> text(64);
            for (int32_t item = 0; U_SUCCESS(status) && item < uset_getItemCount(set); ++item) {
                UChar32 first = 0;
                UChar32 last = 0;
                int32_t length = uset_getItem(set, item, &first, &last, text.data(), int32_t(text.size()), &status);
                if (status == U_BUFFER_OVERFLOW_ERROR) {
                    status = U_ZERO_ERROR;
                    text.resize(size_t(length));
                    length = uset_getItem(set, item, &first, &last, text.data(), length, &status);
                }
                if (length == 0) {
                    uset_addRange(m_reached, first, last);
                    continue;
                }
                for (int32_t i = 0; i < length;) {
                    UChar32 c;
                    U16_NEXT(text.data(), i, length, c);
                    uset_add(m_reached, c);
                }
            }
        }
        uset_close(contractions);
        uset_close(expansions);
        m_fast = U_SUCCESS(status);
    }
    ~PinyinOrder() { uset_close(m_reached); }
    PinyinOrder(const PinyinOrder &) = delete;
    PinyinOrder &operator=(const PinyinOrder &) = delete;

    UCollator *collator() const { return m_full.get(); }

    int compare(std::string_view a, std::string_view b)
    {
        if (m_fast) {
            const std::optional<int> quick = compareByWeights(a, b);
            if (quick)
                return *quick;
        }
        return compareByCollator(a, b);
    }

    int compareByCollator(std::string_view a, std::string_view b) const
    {
        if (m_full) {
            UErrorCode status = U_ZERO_ERROR;
            const UCollationResult result = ucol_strcollUTF8(m_full.get(), a.data(), static_cast<int32_t>(a.size()),
                                                             b.data(), static_cast<int32_t>(b.size()), &status);
            if (U_SUCCESS(status) && result != UCOL_EQUAL)
                return result == UCOL_LESS ? -1 : 1;
        }
        const int bytes = std::memcmp(a.data(), b.data(), std::min(a.size(), b.size()));
        if (bytes != 0)
            return bytes < 0 ? -1 : 1;
        return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
    }

private:
    static constexpr uint32_t kUnknown = 0xFFFFFFFF;
    static constexpr uint32_t kUndecided = 0; // the character cannot decide alone

    std::optional<int> compareByWeights(std::string_view a, std::string_view b)
    {
        const auto *bytesA = reinterpret_cast<const uint8_t *>(a.data());
        const auto *bytesB = reinterpret_cast<const uint8_t *>(b.data());
        const auto lengthA = int32_t(a.size());
        const auto lengthB = int32_t(b.size());
        int32_t i = 0;
        int32_t j = 0;
        while (i < lengthA && j < lengthB) {
            UChar32 ca;
            UChar32 cb;
            U8_NEXT(bytesA, i, lengthA, ca);
            U8_NEXT(bytesB, j, lengthB, cb);
            if (ca < 0 || cb < 0)
                return std::nullopt;
            if (ca != cb)
                return compareWeights(weight(ca), weight(cb));
        }
        // Identical texts; a text that goes on may still end in characters the collator ignores.
        return i == lengthA && j == lengthB ? std::optional<int>(0) : std::nullopt;
    }

    // Weights hold up to three bytes of primary weight above a byte with their count.
    static std::optional<int> compareWeights(uint32_t a, uint32_t b)
    {
        if (a == kUndecided || b == kUndecided)
            return std::nullopt;
        const uint32_t common = std::min(a & 0xFF, b & 0xFF);
        const uint32_t shift = 32 - 8 * common;
        if ((a >> shift) != (b >> shift))
            return (a >> shift) < (b >> shift) ? -1 : 1;
        return std::nullopt; // one weight begins the other: what follows decides
    }

    uint32_t weight(UChar32 c)
    {
        if (c > 0xFFFF)
            return kUndecided;
        uint32_t &known = m_weights[size_t(c)];
        if (known == kUnknown)
            known = readWeight(c);
        return known;
    }

    uint32_t readWeight(UChar32 c) const
    {
        UErrorCode status = U_ZERO_ERROR;
        const UNormalizer2 *canonical = unorm2_getNFCInstance(&status);
        UChar decomposition[8];
        if (U_FAILURE(status) || U_IS_SURROGATE(c) || u_getCombiningClass(c) != 0 || uset_contains(m_reached, c)
            || unorm2_getRawDecomposition(canonical, c, decomposition, 8, &status) >= 0)
            return kUndecided;
        const UChar alone = UChar(c);
        uint8_t key[8];
        const int32_t length = ucol_getSortKey(m_primary.get(), &alone, 1, key, int32_t(sizeof key));
        // The key is the primary weight and its closing zero byte.
        if (length < 2 || length > 4)
            return kUndecided;
        uint32_t packed = 0;
        for (int32_t i = 0; i < length - 1; ++i)
            packed |= uint32_t(key[i]) << (24 - 8 * i);
        return packed | uint32_t(length - 1);
    }

    CollatorPointer m_full;
    CollatorPointer m_primary; // first level only: a character's key is its primary weight
    USet *m_reached = nullptr; // characters of contractions, expansions and contexts
    std::vector<uint32_t> m_weights; // per character of the first plane
    bool m_fast = false;
};

PinyinOrder &pinyinOrder()
{
    // One per thread: opening a collator costs far more than a comparison.
    thread_local PinyinOrder order;
    return order;
}

UCollator *collator()
{
    return pinyinOrder().collator();
}

int collate(void *, int lengthA, const void *a, int lengthB, const void *b)
{
    return comparePinyin({static_cast<const char *>(a), static_cast<size_t>(lengthA)},
                         {static_cast<const char *>(b), static_cast<size_t>(lengthB)});
}

// The escape character of like(pattern, text, escape): exactly one character, as the engine's
// own like() demands; -1 with an error set otherwise.
int32_t escapeCharacter(sqlite3_context *context, sqlite3_value *value)
{
    const auto *bytes = sqlite3_value_text(value);
    const int32_t length = sqlite3_value_bytes(value);
    int32_t offset = 0;
    UChar32 c = -1;
    if (bytes && length > 0)
        U8_NEXT(bytes, offset, length, c);
    if (c < 0 || offset != length) {
        sqlite3_result_error(context, "ESCAPE expression must be a single character", -1);
        return -1;
    }
    return c;
}

void deletePattern(void *pattern)
{
    delete static_cast<LikePattern *>(pattern);
}

void likeFunction(sqlite3_context *context, int argc, sqlite3_value **argv)
{
    // SQLite calls like(pattern, text[, escape]); a Null on either side gives Null.
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    int32_t escape = LikePattern::kNoEscape;
    if (argc == 3 && (escape = escapeCharacter(context, argv[2])) < 0)
        return;
    const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(argv[1]));
    const std::string_view textView(text, static_cast<size_t>(sqlite3_value_bytes(argv[1])));
    // The pattern is compiled for the first row and kept by the statement for the others (it is
    // dropped when the pattern changes, so a kept one always belongs to this pattern).
    const auto *kept = static_cast<const LikePattern *>(sqlite3_get_auxdata(context, 0));
    if (kept && kept->escape() == escape) {
        sqlite3_result_int(context, kept->matches(textView));
        return;
    }
    const auto *pattern = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
    auto compiled = std::make_unique<LikePattern>(
        std::string_view(pattern, static_cast<size_t>(sqlite3_value_bytes(argv[0]))), escape);
    sqlite3_result_int(context, compiled->matches(textView));
    // The engine may drop it at once; it is not used after this call.
    sqlite3_set_auxdata(context, 0, compiled.release(), deletePattern);
}

} // namespace

int comparePinyin(std::string_view a, std::string_view b)
{
    return pinyinOrder().compare(a, b);
}

int comparePinyinByCollator(std::string_view a, std::string_view b)
{
    return pinyinOrder().compareByCollator(a, b);
}

int32_t pinyinCollatorVersion()
{
    UVersionInfo version{};
    if (UCollator *zh = collator())
        ucol_getVersion(zh, version);
    return (int32_t(version[0]) << 24) | (int32_t(version[1]) << 16) | (int32_t(version[2]) << 8) | version[3];
}

void registerTextRules(sqlite3 *db)
{
    sqlite3_create_collation_v2(db, kPinyinCollation, SQLITE_UTF8, nullptr, collate, nullptr);
    sqlite3_create_function(db, "like", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, likeFunction, nullptr, nullptr);
    sqlite3_create_function(db, "like", 3, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, likeFunction, nullptr, nullptr);
    // A stored query may name it (the name search by pinyin initials), so every connection
    // that reads or drops that query must know it.
    registerPinyinInitials(db);
}

} // namespace ds
