// The query texts built from what a user types: whatever the conditions, the browse query and
// the entry screen's condition search are each one read-only statement that the engine takes,
// and a condition's text reaches the statement only inside its quotes.
#include "fuzz_properties.h"

#include "browse/query_text.h"
#include "datastore/herb_aliases.h"
#include "datastore/pinyin_collation.h"
#include "datastore/text_trim.h"
#include "herbs/herb_lookup.h"

#include <sqlcipher/sqlite3.h>

#include <algorithm>
#include <string_view>

namespace fuzz {
namespace {

// Input: the sort choice's byte, then up to nine conditions separated by NUL bytes.
QStringList conditions(const uint8_t *data, size_t size)
{
    QStringList texts;
    const std::string_view all(reinterpret_cast<const char *>(data), size);
    size_t start = 0;
    while (texts.size() < 9 && start <= all.size()) {
        const size_t end = std::min(all.find('\0', start), all.size());
        const std::string_view part = all.substr(start, end - start);
        // A NUL ends the statement's text for the engine; the hostile-input tests cover it.
        texts.append(textFromBytes(reinterpret_cast<const uint8_t *>(part.data()), part.size()).remove(QChar(0)));
        start = end + 1;
    }
    while (texts.size() < 9)
        texts.append(QString());
    return texts;
}

sqlite3 *connection()
{
    static sqlite3 *db = [] {
        sqlite3 *opened = nullptr;
        sqlite3_open_v2(":memory:", &opened, SQLITE_OPEN_READWRITE, nullptr);
        ds::registerTextRules(opened);
        sqlite3_exec(opened,
                     "CREATE TABLE 中医药材 (名称 TEXT, 归经 TEXT, 性味 TEXT, 功效 TEXT, 主治 TEXT, 用法 TEXT, 宜忌 TEXT, 心得 TEXT);"
                     "INSERT INTO 中医药材 VALUES ('当归。', '归肝经。', '甘，温。', '补血。', '血虚。', '煎服。', ' ', ' ')",
                     nullptr, nullptr, nullptr);
        return opened;
    }();
    return db;
}

// What is wrong with the statement, or nothing: it must be one statement, read-only, that the
// engine prepares and runs to its end. Counts the rows it gives.
std::string checkStatement(const QString &text, const char *which, int *rows = nullptr)
{
    const QByteArray sql = text.toUtf8();
    sqlite3_stmt *stmt = nullptr;
    const char *tail = nullptr;
    if (sqlite3_prepare_v2(connection(), sql.constData(), int(sql.size()), &stmt, &tail) != SQLITE_OK || !stmt)
        return std::string(which) + ": the engine refused the statement: " + sqlite3_errmsg(connection());
    std::string broken;
    if (tail && std::string_view(tail, size_t(sql.constData() + sql.size() - tail)).find_first_not_of(" \t\r\n") !=
                    std::string_view::npos)
        broken = std::string(which) + ": text after the statement";
    else if (!sqlite3_stmt_readonly(stmt))
        broken = std::string(which) + ": the statement writes";
    else {
        int rc = SQLITE_ROW;
        int found = -1;
        while (rc == SQLITE_ROW) {
            rc = sqlite3_step(stmt);
            ++found;
        }
        if (rows)
            *rows = found;
        if (rc != SQLITE_DONE)
            broken = std::string(which) + ": the statement failed: " + sqlite3_errmsg(connection());
    }
    sqlite3_finalize(stmt);
    return broken;
}

} // namespace

std::string queryText(const uint8_t *data, size_t size)
{
    if (size == 0)
        return {};
    const QString sortChoice = browse::kSortChoices.value(data[0] % browse::kSortChoices.size());
    const QStringList typed = conditions(data + 1, size - 1);

    browse::QueryConditions query;
    query.name = typed[0];
    query.nature = typed[1];
    query.meridian = typed[2];
    for (int i = 0; i < 3; ++i) {
        query.efficacy[size_t(i)] = typed[3 + i];
        query.indications[size_t(i)] = typed[6 + i];
    }
    std::string broken = checkStatement(browse::queryText(query, sortChoice), "browse query");
    if (!broken.empty())
        return broken;

    // A name of plain characters finds the one herb exactly when its name holds them or one of
    // its aliases matches them: a quote that escaped its string would change what the statement
    // selects.
    const QString name = ds::trimSpaces(typed[0]);
    const bool plain = std::none_of(name.begin(), name.end(), [](QChar c) {
        return QStringLiteral("*?#[").contains(c) || (c.unicode() < 128 && c.isLetter()) || c.isSurrogate();
    });
    if (plain) {
        browse::QueryConditions byName;
        byName.name = typed[0];
        int rows = 0;
        broken = checkStatement(browse::queryText(byName, sortChoice), "name query", &rows);
        if (!broken.empty())
            return broken;
        const bool named = QStringLiteral("当归。").contains(name)
                           || ds::shippedAliases().herbsMatching(name).contains(QStringLiteral("当归"));
        if (rows != (named ? 1 : 0))
            return "the name condition selected the wrong rows";
    }

    herbs::HerbRecord fields;
    for (int i = 0; i < 8; ++i)
        fields[size_t(i)] = typed[i];
    return checkStatement(herbs::conditionStatement(fields), "entry search");
}

} // namespace fuzz
