#include "datastore/pinyin_initials.h"

#include "datastore/errors.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringList>
#include <QtDebug>

#include <sqlcipher/sqlite3.h>
#include <unicode/utrans.h>

#include <algorithm>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace ds {
namespace {

// A name read otherwise than its characters alone: its syllables, keyed in the table by its
// first UTF-16 unit, the longest names first so that 蛤蟆 comes before 蛤.
struct HerbReading {
    QString name;
    QStringList syllables;
};
using ReadingTable = std::unordered_map<char16_t, std::vector<HerbReading>>;

ReadingTable tableOf(const QList<NameReading> &readings)
{
    ReadingTable table;
    for (const NameReading &reading : readings)
        table[reading.name.front().unicode()].push_back({reading.name, reading.syllables.split(QLatin1Char(' '))});
    for (auto &[first, names] : table) {
        std::stable_sort(names.begin(), names.end(),
                         [](const HerbReading &a, const HerbReading &b) { return a.name.size() > b.name.size(); });
    }
    return table;
}

const ReadingTable &shippedReadings()
{
    static const ReadingTable table = [] {
        QFile file(QStringLiteral(":/ccherb/herb_readings.tsv"));
        try {
            if (!file.open(QIODevice::ReadOnly))
                throw RunError(ErrorCode::FileNotFound, file.fileName());
            return tableOf(parseNameReadings(QString::fromUtf8(file.readAll()), QStringLiteral("herb_readings.tsv")));
        } catch (const RunError &error) {
            // The seed build checked this very file; names are then read character by character.
            qWarning() << "reading table:" << error.description();
            return ReadingTable();
        }
    }();
    return table;
}

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

// The name of the table that the text holds at i; nullptr when none.
const HerbReading *readingAt(const ReadingTable &table, const QString &text, qsizetype i)
{
    const auto found = table.find(text[i].unicode());
    if (found == table.end())
        return nullptr;
    for (const HerbReading &reading : found->second) {
        if (QStringView(text).mid(i, reading.name.size()) == reading.name)
            return &reading;
    }
    return nullptr;
}

enum class Readings { Herbal, Everyday };

// Calls word(text, isSyllable) for each syllable of a Chinese character and each run of
// letters and digits, in order; the herbal readings take the names of the table as it reads them.
template <typename Word>
void forEachWord(const QString &text, Readings readings, Word word)
{
    const std::u16string_view all(reinterpret_cast<const char16_t *>(text.utf16()), size_t(text.size()));
    size_t i = 0;
    while (i < all.size()) {
        if (readings == Readings::Herbal) {
            if (const HerbReading *reading = readingAt(shippedReadings(), text, qsizetype(i))) {
                for (const QString &syllable : reading->syllables)
                    word(syllable, true);
                i += size_t(reading->name.size());
                continue;
            }
        }
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
    const QByteArray initials = searchedInitials(QString::fromUtf8(text, sqlite3_value_bytes(argv[0]))).toUtf8();
    sqlite3_result_text(context, initials.constData(), int(initials.size()), SQLITE_TRANSIENT);
}

} // namespace

QList<NameReading> parseNameReadings(const QString &text, const QString &label)
{
    static const QRegularExpression syllables(QStringLiteral("^[a-z]+( [a-z]+)*$"));
    QList<NameReading> readings;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype number = 1; number <= lines.size(); ++number) {
        const QString line = lines[number - 1].trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList parts = line.split(QLatin1Char('\t'));
        const QString where = QStringLiteral("%1:%2").arg(label).arg(number);
        if (parts.size() != 2 || parts[0].isEmpty() || !syllables.match(parts[1]).hasMatch())
            throw RunError(ErrorCode::SyntaxError, where + QStringLiteral(": a name, a tab and its syllables a to z"));
        if (parts[0].toUcs4().size() != parts[1].count(QLatin1Char(' ')) + 1)
            throw RunError(ErrorCode::SyntaxError, where + QStringLiteral(": not one syllable a character in ") + parts[0]);
        readings.append({parts[0], parts[1]});
    }
    return readings;
}

QString pinyinReading(const QString &text)
{
    QStringList words;
    forEachWord(text, Readings::Herbal, [&](const QString &word, bool) { words.append(word); });
    return words.join(QLatin1Char(' '));
}

namespace {

QString initialsOf(const QString &text, Readings readings)
{
    QString initials;
    forEachWord(text, readings, [&](const QString &word, bool isSyllable) {
        // A syllable gives its first letter; letters and digits written as such stay whole.
        initials += isSyllable ? word.left(1) : word.toLower();
    });
    return initials;
}

} // namespace

QString pinyinInitials(const QString &text)
{
    return initialsOf(text, Readings::Herbal);
}

QString searchedInitials(const QString &text)
{
    const QString herbal = initialsOf(text, Readings::Herbal);
    const QString everyday = initialsOf(text, Readings::Everyday);
    return everyday == herbal ? herbal : herbal + QLatin1Char(' ') + everyday;
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
