// The like rules on any pattern and texts: the statement's like() (its pattern compiled once for
// all rows) agrees with jetLike on every row, "*" matches every text, and a text written as a
// pattern of literal characters, by brackets or by an escape character, matches itself.
#include "fuzz_properties.h"

#include "datastore/jet_like.h"
#include "datastore/pinyin_collation.h"

#include <sqlcipher/sqlite3.h>

#include <string_view>
#include <vector>

namespace fuzz {
namespace {

constexpr size_t kMaxTexts = 8;

// Input: the pattern, then the texts, separated by NUL bytes; a pattern alone is its own text.
std::vector<std::string_view> split(const uint8_t *data, size_t size)
{
    std::vector<std::string_view> parts;
    const std::string_view all(reinterpret_cast<const char *>(data), size);
    size_t start = 0;
    while (parts.size() <= kMaxTexts) {
        const size_t end = all.find('\0', start);
        parts.push_back(all.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    return parts;
}

bool isUtf8(std::string_view text)
{
    const QByteArray bytes(text.data(), qsizetype(text.size()));
    return QString::fromUtf8(bytes).toUtf8() == bytes;
}

std::string bracketed(std::string_view text)
{
    std::string pattern;
    for (const char c : text) {
        if (c == '*' || c == '?' || c == '#' || c == '[')
            pattern += std::string{'[', c, ']'};
        else
            pattern += c;
    }
    return pattern;
}

std::string escaped(std::string_view text)
{
    std::string pattern;
    for (const char c : text) {
        if (c == '*' || c == '?' || c == '#' || c == '[' || c == '\\')
            pattern += '\\';
        pattern += c;
    }
    return pattern;
}

// Each text against the pattern through one statement over a table of the texts, in order.
// Returns the results, or an empty list when the engine refused the statement.
std::vector<int> likeBySql(sqlite3 *db, const std::vector<std::string_view> &texts, std::string_view pattern,
                           const char *escape)
{
    sqlite3_exec(db, "DELETE FROM t", nullptr, nullptr, nullptr);
    sqlite3_stmt *insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO t VALUES (?1, ?2)", -1, &insert, nullptr);
    for (size_t i = 0; i < texts.size(); ++i) {
        sqlite3_bind_int(insert, 1, int(i));
        sqlite3_bind_text(insert, 2, texts[i].data(), int(texts[i].size()), SQLITE_TRANSIENT);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    const char *sql = escape ? "SELECT x LIKE ?1 ESCAPE ?2 FROM t ORDER BY n" : "SELECT x LIKE ?1 FROM t ORDER BY n";
    sqlite3_stmt *select = nullptr;
    std::vector<int> results;
    if (sqlite3_prepare_v2(db, sql, -1, &select, nullptr) == SQLITE_OK) {
        sqlite3_bind_text(select, 1, pattern.data(), int(pattern.size()), SQLITE_TRANSIENT);
        if (escape)
            sqlite3_bind_text(select, 2, escape, -1, SQLITE_STATIC);
        while (sqlite3_step(select) == SQLITE_ROW)
            results.push_back(sqlite3_column_int(select, 0));
    }
    sqlite3_finalize(select);
    return results;
}

sqlite3 *connection()
{
    static sqlite3 *db = [] {
        sqlite3 *opened = nullptr;
        sqlite3_open_v2(":memory:", &opened, SQLITE_OPEN_READWRITE, nullptr);
        ds::registerTextRules(opened);
        sqlite3_exec(opened, "CREATE TABLE t (n INTEGER, x TEXT)", nullptr, nullptr, nullptr);
        return opened;
    }();
    return db;
}

} // namespace

std::string likePattern(const uint8_t *data, size_t size)
{
    std::vector<std::string_view> texts = split(data, size);
    const std::string_view pattern = texts.front();
    if (texts.size() > 1)
        texts.erase(texts.begin());

    const std::vector<int> bySql = likeBySql(connection(), texts, pattern, nullptr);
    if (bySql.size() != texts.size())
        return "the statement did not give one result per text";
    for (size_t i = 0; i < texts.size(); ++i) {
        if (bySql[i] != int(ds::jetLike(texts[i], pattern)))
            return "like() in a statement and jetLike disagree";
        if (!ds::jetLike(texts[i], "*"))
            return "\"*\" does not match a text";
    }
    std::vector<std::string_view> sound;
    for (const std::string_view text : texts) {
        if (isUtf8(text))
            sound.push_back(text);
    }
    for (const std::string_view text : sound) {
        if (!ds::jetLike(text, bracketed(text)))
            return "a text in brackets does not match itself";
        const std::vector<int> self = likeBySql(connection(), {text}, escaped(text), "\\");
        if (self.size() != 1 || self.front() != 1)
            return "a text with its escape characters does not match itself";
    }
    return {};
}

} // namespace fuzz
