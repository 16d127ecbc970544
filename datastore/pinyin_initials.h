#pragma once

#include <QString>

struct sqlite3;

namespace ds {

// The pinyin of a text, one syllable per Chinese character, separated by single spaces,
// without tone marks and with "v" for "ü" ("当归" gives "dang gui"). Herb names whose
// characters are read differently inside the name (白术 bai zhu, not bai shu) take their
// reading from a small table. Letters and digits stay as they are; other characters go.
QString pinyinReading(const QString &text);

// The first letters of those syllables, in lower case ("人参。" gives "rs"); letters and
// digits typed as such stay in place, lower case.
QString pinyinInitials(const QString &text);

// The SQL function name under which every connection offers pinyinInitials().
inline constexpr const char *kPinyinInitialsFunction = "pinyin_initials";

void registerPinyinInitials(sqlite3 *db);

// True for a non-empty text of the letters a to z and A to Z only.
bool isLatinLetters(const QString &text);

} // namespace ds
