#pragma once

#include "datastore/statement.h"

#include <QString>

namespace ds {
class Database;
}

namespace dict {

// Writes the keywords of herb texts into the two dictionaries through one prepared insert per
// table, on the caller's connection and inside its transaction. A keyword is bound, so a quote
// in it is stored as a character.
class KeywordStore {
public:
    explicit KeywordStore(ds::Database &db);

    // Split the text (without its leading and trailing spaces) and store each keyword. A keyword
    // the engine refuses ends that text there: the keywords before it stay.
    void AddEfficacyKeywords(const QString &text);
    void AddIndicationKeywords(const QString &text);

    // True once a failure has ended the caller's transaction (the engine rolled it back):
    // nothing more may be written, or it would land outside the transaction.
    bool transactionLost() const { return m_lost; }

private:
    void add(ds::Statement &insert, const QString &text);

    ds::Database &m_db;
    ds::Statement m_efficacy;
    ds::Statement m_indication;
    bool m_lost = false;
};

} // namespace dict
