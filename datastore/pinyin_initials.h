#pragma once

#include <QList>
#include <QString>

struct sqlite3;

namespace ds {

// The pinyin of a text, one syllable per Chinese character, separated by single spaces,
// without tone marks and with "v" for "ü" ("当归" gives "dang gui"). Herb names whose
// characters are read otherwise inside the name (重楼 chong lou, not zhong lou) take the
// materia medica's reading from the table the program carries (data/herb_readings.tsv).
// Letters and digits stay as they are; other characters go.
QString pinyinReading(const QString &text);

// The first letters of those syllables, in lower case ("人参。" gives "rs", "重楼" "cl");
// letters and digits typed as such stay in place, lower case.
QString pinyinInitials(const QString &text);

// The initials a typed search matches: pinyinInitials, then, when they differ, those of each
// character's everyday reading, separated by a space ("重楼" gives "cl zl").
QString searchedInitials(const QString &text);

// A line of the reading table: a name and its syllables, separated by spaces.
struct NameReading {
    QString name;
    QString syllables;
};

// Reads the table's text (a name, a tab, its syllables a to z, one for each character; lines
// starting with # and empty lines skipped). A line that is none of these throws a RunError
// naming label and the line.
QList<NameReading> parseNameReadings(const QString &text, const QString &label);

// The SQL function name under which every connection offers searchedInitials().
inline constexpr const char *kPinyinInitialsFunction = "pinyin_initials";

void registerPinyinInitials(sqlite3 *db);

// True for a non-empty text of the letters a to z and A to Z only.
bool isLatinLetters(const QString &text);

} // namespace ds
