#pragma once

#include <cstdint>
#include <string_view>

struct sqlite3;

namespace ds {

// Name of the Simplified Chinese (pinyin) collation that the file's text columns declare.
inline constexpr const char *kPinyinCollation = "zh";

// Pinyin order; texts equal to the collator are ordered by their bytes, so only identical texts
// compare equal (DISTINCT and "=" then never merge two different names).
int comparePinyin(std::string_view a, std::string_view b);
// The same order asked of the collator for every pair: what comparePinyin must always agree with.
int comparePinyinByCollator(std::string_view a, std::string_view b);

// The collator's version, recorded in the file so that a changed ICU can rebuild what
// depends on the old order.
int32_t pinyinCollatorVersion();

// Registers the collation, the file's like() and the pinyin initials on one connection.
void registerTextRules(sqlite3 *db);

} // namespace ds
