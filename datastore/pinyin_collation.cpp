#include "datastore/pinyin_collation.h"

#include "datastore/jet_like.h"
#include "datastore/pinyin_initials.h"

#include <sqlcipher/sqlite3.h>
#include <unicode/ucol.h>

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

void likeFunction(sqlite3_context *context, int argc, sqlite3_value **argv)
{
    // SQLite calls like(pattern, text[, escape]); a Null on either side gives Null.
    (void)argc;
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const auto *pattern = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
    const int patternLength = sqlite3_value_bytes(argv[0]);
    const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(argv[1]));
    const int textLength = sqlite3_value_bytes(argv[1]);
    sqlite3_result_int(context,
                       jetLike({text, static_cast<size_t>(textLength)},
                               {pattern, static_cast<size_t>(patternLength)}));
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
    // A stored query may name it (the name search by pinyin initials), so every connection
    // that reads or drops that query must know it.
    registerPinyinInitials(db);
}

} // namespace ds
