#include "dictionaries/keyword_store.h"

#include "datastore/database.h"
#include "datastore/errors.h"
#include "datastore/sql_text.h"
#include "datastore/text_trim.h"
#include "dictionaries/keyword_splitter.h"

#include <string_view>

namespace dict {
namespace {

// True when the engine holds the text as these bytes: its UTF-8 with a lone surrogate as
// U+FFFD, as the insert writes it (ds::toEngineText), compared without making a copy.
bool storedAs(QStringView text, std::string_view bytes)
{
    size_t at = 0;
    const auto next = [&](unsigned char byte) { return at < bytes.size() && static_cast<unsigned char>(bytes[at++]) == byte; };
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        } else if (QChar::isSurrogate(c)) {
            c = QChar::ReplacementCharacter;
        }
        const bool same = c < 0x80      ? next(c)
                          : c < 0x800   ? next(0xC0 | c >> 6) && next(0x80 | (c & 0x3F))
                          : c < 0x10000 ? next(0xE0 | c >> 12) && next(0x80 | (c >> 6 & 0x3F)) && next(0x80 | (c & 0x3F))
                                        : next(0xF0 | c >> 18) && next(0x80 | (c >> 12 & 0x3F)) &&
                                              next(0x80 | (c >> 6 & 0x3F)) && next(0x80 | (c & 0x3F));
        if (!same)
            return false;
    }
    return at == bytes.size();
}

} // namespace

KeywordStore::Dictionary::Dictionary(ds::Database &db, const QString &name)
    : table(name)
    , insert(db.handle(), QStringLiteral("INSERT INTO %1 Values(?1)").arg(ds::sqlIdentifier(name)))
{
}

KeywordStore::KeywordStore(ds::Database &db)
    : m_db(db)
    , m_efficacy(db, QStringLiteral("药材功效"))
    , m_indication(db, QStringLiteral("药材主治"))
{
}

void KeywordStore::AddEfficacyKeywords(const QString &text)
{
    add(m_efficacy, text);
}

void KeywordStore::AddIndicationKeywords(const QString &text)
{
    add(m_indication, text);
}

void KeywordStore::finishEfficacy()
{
    finish(m_efficacy);
}

void KeywordStore::finishIndication()
{
    finish(m_indication);
}

bool KeywordStore::writable()
{
    // Written outside the caller's transaction, a keyword could not be taken back.
    m_lost = m_lost || !m_db.inTransaction();
    return !m_lost;
}

void KeywordStore::add(Dictionary &dictionary, const QString &text)
{
    if (!writable())
        return;
    const QString trimmed = ds::trimSpaces(text);
    if (trimmed.isEmpty())
        return;
    const QStringList keywords = splitKeywords(trimmed);
    if (!dictionary.writing && !alreadyStored(dictionary, keywords))
        startWriting(dictionary);
    if (!dictionary.writing || !writable())
        return;
    for (const QString &keyword : keywords) {
        try {
            dictionary.insert.bind(1, keyword);
            dictionary.insert.run();
            dictionary.insert.reset();
        } catch (const ds::RunError &) {
            // The engine undoes only the refused statement, unless the failure was of the kind
            // that ends the whole transaction (an I/O error, a trigger's ROLLBACK).
            dictionary.insert.reset();
            m_lost = !m_db.inTransaction();
            return;
        }
    }
}

void KeywordStore::openStored(Dictionary &dictionary)
{
    // Only reached before writing begins, and rows that cannot be opened begin it: the rows
    // are opened once.
    if (dictionary.stored)
        return;
    // A table whose rows cannot be read in row order is written afresh as a whole.
    ds::skipOnFailure([&] {
        dictionary.stored.emplace(m_db.handle(), QStringLiteral("SELECT rowid, typeof(%1) = 'text', %1 FROM %1 ORDER BY rowid")
                                                     .arg(ds::sqlIdentifier(dictionary.table)));
    });
}

bool KeywordStore::alreadyStored(Dictionary &dictionary, const QStringList &keywords)
{
    openStored(dictionary);
    if (!dictionary.stored)
        return false;
    qint64 row = 0;
    for (const QString &keyword : keywords) {
        if (!nextStoredIs(dictionary, keyword, row))
            return false;
    }
    if (!keywords.isEmpty())
        dictionary.keptUpTo = row;
    return true;
}

bool KeywordStore::nextStoredIs(Dictionary &dictionary, const QString &keyword, qint64 &row)
{
    ds::Statement &stored = *dictionary.stored;
    bool same = false;
    // A row that cannot be read is not the keyword: the rows from there on are written again.
    ds::skipOnFailure([&] {
        if (!stored.step() || stored.integer(1) == 0)
            return;
        // The bytes the insert would store: a text equal only after decoding is rewritten.
        same = storedAs(keyword, stored.utf8(2));
        row = stored.integer(0);
    });
    return same;
}

void KeywordStore::startWriting(Dictionary &dictionary)
{
    dictionary.writing = true;
    dictionary.stored.reset();
    if (!writable())
        return;
    // Every row after the last herb found stored goes; what follows is written as a rebuild from
    // empty would write it. A failure here ends nothing: the inserts still run, as they did after
    // a failed emptying.
    ds::skipOnFailure([&] {
        const QString table = ds::sqlIdentifier(dictionary.table);
        if (dictionary.keptUpTo)
            m_db.execute(QStringLiteral("DELETE FROM %1 WHERE rowid > ?1").arg(table), {*dictionary.keptUpTo});
        else
            m_db.execute(QStringLiteral("DELETE * FROM %1").arg(table));
    });
    writable();
}

void KeywordStore::finish(Dictionary &dictionary)
{
    if (!writable() || dictionary.writing)
        return;
    // Rows stored beyond the last keyword: herbs deleted or shortened since the last rebuild.
    openStored(dictionary);
    bool more = true;
    if (dictionary.stored)
        ds::skipOnFailure([&] { more = dictionary.stored->step(); });
    if (more)
        startWriting(dictionary);
    dictionary.stored.reset();
}

} // namespace dict
