#pragma once

#include "datastore/statement.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace ds {
class Database;
}

namespace dict {

// Brings the two dictionaries to the keywords of the herb texts, on the caller's connection and
// inside its transaction, so that each pass leaves its table holding exactly the rows a rebuild
// from empty writes, in the same order. Most passes find the table already holding them (no herb
// changed since the last one) and write nothing: the stored rows are compared, in row order,
// with the keywords as they come. From the first herb whose keywords differ, the rows after the
// last herb that matched are deleted and the rest is written through one prepared insert per
// table. A keyword is bound, so a quote in it is stored as a character.
class KeywordStore {
public:
    explicit KeywordStore(ds::Database &db);

    // Split the text (without its leading and trailing spaces) and store each keyword. A keyword
    // the engine refuses ends that text there: the keywords before it stay.
    void AddEfficacyKeywords(const QString &text);
    void AddIndicationKeywords(const QString &text);
    // Ends a pass: stored rows beyond the last keyword given are deleted.
    void finishEfficacy();
    void finishIndication();

    // True once a failure has ended the caller's transaction (the engine rolled it back):
    // nothing more may be written, or it would land outside the transaction.
    bool transactionLost() const { return m_lost; }

private:
    struct Dictionary {
        Dictionary(ds::Database &db, const QString &name);
        QString table;
        ds::Statement insert;
        // The rows not yet compared, in row order; none once writing has begun.
        std::optional<ds::Statement> stored;
        bool writing = false;
        std::optional<qint64> keptUpTo; // the last row of the last herb found already stored
    };

    void add(Dictionary &dictionary, const QString &text);
    void finish(Dictionary &dictionary);
    void openStored(Dictionary &dictionary);
    bool alreadyStored(Dictionary &dictionary, const QStringList &keywords);
    bool nextStoredIs(Dictionary &dictionary, const QString &keyword, qint64 &row);
    void startWriting(Dictionary &dictionary);
    bool writable();

    ds::Database &m_db;
    Dictionary m_efficacy;
    Dictionary m_indication;
    bool m_lost = false;
};

} // namespace dict
