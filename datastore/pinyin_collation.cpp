#include "datastore/pinyin_collation.h"

#include "datastore/jet_like.h"

#include <sqlcipher/sqlite3.h>
#include <unicode/ucol.h>
#include <unicode/utf8.h>

#include <cstring>
#include <memory>

namespace ds {
namespace {

struct CollatorCloser {
    void operator()(UCollator *collator) const { ucol_close(collator); }
};

UCollator *collator()
{
    // One collator per thread: opening one costs far more than a comparison.
    thread_local std::unique_ptr<UCollator, CollatorCloser> instance = [] {
        UErrorCode status = U_ZERO_ERROR;
        UCollator *opened = ucol_open("zh", &status);
        return std::unique_ptr<UCollator, CollatorCloser>(U_SUCCESS(status) ? opened : nullptr);
    }();
    return instance.get();
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
    if (UCollator *zh = collator()) {
        UErrorCode status = U_ZERO_ERROR;
        const UCollationResult result = ucol_strcollUTF8(zh, a.data(), static_cast<int32_t>(a.size()),
                                                         b.data(), static_cast<int32_t>(b.size()), &status);
        if (U_SUCCESS(status) && result != UCOL_EQUAL)
            return result == UCOL_LESS ? -1 : 1;
    }
    const int bytes = std::memcmp(a.data(), b.data(), std::min(a.size(), b.size()));
    if (bytes != 0)
        return bytes < 0 ? -1 : 1;
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
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
}

} // namespace ds
