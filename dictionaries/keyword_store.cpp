#include "dictionaries/keyword_store.h"

#include "datastore/database.h"
#include "datastore/errors.h"
#include "datastore/text_trim.h"
#include "dictionaries/keyword_splitter.h"

namespace dict {

KeywordStore::KeywordStore(ds::Database &db)
    : m_db(db)
    , m_efficacy(db.handle(), QStringLiteral("INSERT INTO 药材功效 Values(?1)"))
    , m_indication(db.handle(), QStringLiteral("INSERT INTO 药材主治 Values(?1)"))
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

void KeywordStore::add(ds::Statement &insert, const QString &text)
{
    if (m_lost)
        return;
    const QString trimmed = ds::trimSpaces(text);
    if (trimmed.isEmpty())
        return;
    for (const QString &keyword : splitKeywords(trimmed)) {
        try {
            insert.bind(1, keyword);
            insert.run();
            insert.reset();
        } catch (const ds::RunError &) {
            // The engine undoes only the refused statement, unless the failure was of the kind
            // that ends the whole transaction (an I/O error, a trigger's ROLLBACK).
            insert.reset();
            m_lost = !m_db.inTransaction();
            return;
        }
    }
}

} // namespace dict
