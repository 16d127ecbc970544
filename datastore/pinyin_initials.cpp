#include "datastore/pinyin_initials.h"


#include <QStringList>

#include <sqlcipher/sqlite3.h>
#include <unicode/utrans.h>

#include <algorithm>
#include <memory>
#include <string_view>
#include <unordered_map>

namespace ds {
namespace {

// Readings that a character-by-character conversion gets wrong in herb names; a character
// alone stands for its reading in every herb name (参 is shen in 人参, 党参, 丹参...).
struct HerbReading {
    std::u16string_view name;
    const char *syllables;
};

constexpr HerbReading kHerbReadings[] = {
    {u"白术", "bai zhu"},  {u"厚朴", "hou po"},  {u"薄荷", "bo he"},          {u"大黄", "da huang"},
    {u"地黄", "di huang"}, {u"芫花", "yuan hua"}, {u"女贞子", "nv zhen zi"}, {u"葛根", "ge gen"},
    {u"柴胡", "chai hu"},  {u"参", "shen"},      {u"术", "zhu"},
};

struct TransliteratorCloser {
    void operator()(UTransliterator *t) const { utrans_close(t); }
};

UTransliterator *hanToLatin()
{
    // Opening the Han rules costs far more than converting, so each thread opens them once.
    thread_local std::unique_ptr<UTransliterator, TransliteratorCloser> instance = [] {
        static const char16_t rules[] = u":: Han-Latin ; [ǖǘǚǜü] > v ; :: NFD ; :: [:Nonspacing Mark:] Remove ; :: NFC ;";
        UErrorCode status = U_ZERO_ERROR;
        UParseError parseError;
        UTransliterator *opened = utrans_openU(u"cc-pinyin", -1, UTRANS_FORWARD, reinterpret_cast<const UChar *>(rules),
                                               -1, &parseError, &status);
        return std::unique_ptr<UTransliterator, TransliteratorCloser>(U_SUCCESS(status) ? opened : nullptr);
    }();
    return instance.get();
}

// The syllable of one Chinese character, lower case; empty when it has none.
const QString &syllableOf(char32_t character)
{
    thread_local std::unordered_map<char32_t, QString> cache;
    const auto found = cache.find(character);
    if (found != cache.end())
        return found->second;
    QString syllable;
    if (UTransliterator *latin = hanToLatin()) {
        UChar buffer[32];
        int32_t length = 0;
        U16_APPEND_UNSAFE(buffer, length, character);
        int32_t limit = length;
        UErrorCode status = U_ZERO_ERROR;
        utrans_transUChars(latin, buffer, &length, int32_t(std::size(buffer)), 0, &limit, &status);
        const QString converted = QString::fromUtf16(reinterpret_cast<const char16_t *>(buffer), length).toLower();
        const bool latinOnly = U_SUCCESS(status) && !converted.isEmpty()
                               && std::all_of(converted.begin(), converted.end(), [](QChar c) {
                                      return c >= QLatin1Char('a') && c <= QLatin1Char('z');
                                  });
        if (latinOnly)
            syllable = converted;
    }
    return cache.emplace(character, syllable).first->second;
}

bool isAsciiLetterOrDigit(char32_t c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// Calls word(text, isSyllable) for each syllable of a Chinese character and each run of
// letters and digits, in order.
template <typename Word>
void forEachWord(const QString &text, Word word)
{
    const std::u16string_view all(reinterpret_cast<const char16_t *>(text.utf16()), size_t(text.size()));
    size_t i = 0;
    while (i < all.size()) {
        bool matched = false;
        for (const HerbReading &reading : kHerbReadings) {
            if (all.substr(i, reading.name.size()) == reading.name) {
                for (const QString &syllable : QString::fromLatin1(reading.syllables).split(QLatin1Char(' ')))
                    word(syllable, true);
                i += reading.name.size();
                matched = true;
                break;
            }
        }
        if (matched)
            continue;
        const char32_t c = QChar::isHighSurrogate(all[i]) && i + 1 < all.size()
                               ? QChar::surrogateToUcs4(all[i], all[i + 1])
                               : char32_t(all[i]);
        const size_t width = c > 0xFFFF ? 2 : 1;
        if (isAsciiLetterOrDigit(c)) {
            size_t end = i;
            while (end < all.size() && isAsciiLetterOrDigit(all[end]))
                ++end;
            word(QString::fromUtf16(all.data() + i, qsizetype(end - i)), false);
            i = end;
            continue;
        }
        const QString &syllable = syllableOf(c);
        if (!syllable.isEmpty())
            word(syllable, true);
        i += width;
    }
}

void initialsFunction(sqlite3_context *context, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
    const QByteArray initials = pinyinInitials(QString::fromUtf8(text, sqlite3_value_bytes(argv[0]))).toUtf8();
    sqlite3_result_text(context, initials.constData(), int(initials.size()), SQLITE_TRANSIENT);
}

} // namespace

QString pinyinReading(const QString &text)
{
    QStringList words;
    forEachWord(text, [&](const QString &word, bool) { words.append(word); });
    return words.join(QLatin1Char(' '));
}

QString pinyinInitials(const QString &text)
{
    QString initials;
    forEachWord(text, [&](const QString &word, bool isSyllable) {
        // A syllable gives its first letter; letters and digits written as such stay whole.
        initials += isSyllable ? word.left(1) : word.toLower();
    });
    return initials;
}

void registerPinyinInitials(sqlite3 *db)
{
    sqlite3_create_function(db, kPinyinInitialsFunction, 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                            initialsFunction, nullptr, nullptr);
}

bool isLatinLetters(const QString &text)
{
    if (text.isEmpty())
        return false;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (!((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z')))
            return false;
    }
    return true;
}

} // namespace ds
