#pragma once

#include "datastore/connection_link.h"
#include "datastore/dynaset.h"
#include "datastore/table_recordset.h"

#include <QString>
#include <QStringList>

struct sqlite3;

namespace ds {

// How the key is made from the password at each open.
enum class KeyMode {
    Cached,       // derived once per (password, salt) in this process; the normal way
    DerivePerOpen // the engine derives it at every open (slow; kept for comparison)
};

// The values of one column as texts (a Null reads as the empty text), and whether the first
// row's value was Null, which the empty-result test needs.
struct TextColumn {
    QStringList texts;
    bool firstIsNull = false;
};
bool isEmptyResult(const TextColumn &column);

// One open data file. Opening proves the password at once; every failure is a RunError with a
// number from the catalogue. The handle closes itself when the object goes away, or stays open
// for the next operation (kept_connection.h). Opening and keying are in database.cpp, the
// stored queries in stored_queries.cpp, recordsets and transactions in recordsets.cpp.
class Database {
public:
    static Database open(const QString &path, const QString &connect, KeyMode mode = KeyMode::Cached);
    // Opens a file that must not change: nothing is written to it, not even a journal.
    static Database openReadOnly(const QString &path, const QString &connect);
    // Reads every page of the file (under the cipher this proves each page's authentication
    // code) and writes nothing, unless a journal left by a crash must be rolled back first. A
    // file whose first page cannot be read throws as open does; a damaged page anywhere else
    // throws DamagedFile.
    static void checkWholeFile(const QString &path, const QString &connect);
    // Makes a new, empty, encrypted file (the seed tool and tests use this; the program never does).
    static Database create(const QString &path, const QString &connect);

    Database(Database &&other) noexcept;
    Database &operator=(Database &&other) noexcept;
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;
    ~Database();

    // Ends the operation: a connection to the data file stays open for the next one (see
    // kept_connection.h) when nothing of this one is left on it.
    void close();
    bool isOpen() const { return m_db != nullptr; }
    const QString &path() const { return m_path; }

    // Stored queries.
    QStringList queryNames() const;
    int queryCount() const;
    void createQuery(const QString &name, const QString &sql);
    void deleteQuery(const QString &name);
    QString queryText(const QString &name) const;
    // Deletes every stored query, repeating until none is left. The file is written together
    // with the next change (or at close), and a purge followed by the same query as before
    // writes nothing at all: the purge-and-create of every read costs no disk write then.
    void purgeQueries();

    // A stored query's name, a table's name or the text of a SELECT; anything else (a
    // statement that writes, a transaction or PRAGMA) is refused without running.
    Dynaset openDynaset(const QString &source);
    TableRecordset openTable(const QString &table);
    // One column of a table's or stored query's rows, read alone: the other columns of long
    // rows are never fetched. The position counts as in a dynaset of the source. For an SQL
    // text, the column of its own result.
    TextColumn readColumn(const QString &source, int position);
    // Runs one statement; the count of rows it changed.
    int execute(const QString &sql);
    // Runs one statement whose "?1", "?2"... take the values given; the count of rows changed.
    int execute(const QString &sql, const QVariantList &values);

    void beginTransaction();
    void commit();
    void rollback();
    // False once the transaction has ended, also when the engine itself rolled it back.
    bool inTransaction() const;

    sqlite3 *handle() const { return m_db; }
    // The handle as recordsets and transactions hold it: cleared when this closes.
    ConnectionLink link() const { return m_link; }

private:
    static Database openWith(const QString &path, const QString &connect, KeyMode mode, int flags);
    Database(sqlite3 *db, QString path);
    void watchTransactions();
    static void transactionRolledBack(void *database);
    static int transactionCommitted(void *database);
    static Database openKeyed(const QString &path, const QString &connect, KeyMode mode, int flags);
    bool isTableOrQuery(const QString &name) const;
    QStringList storedViews() const;
    QString queryTextInFile(const QString &name) const;
    void dropViews(const QStringList &names);
    void flushPurge();
    void keepForNextOperation(const QString &password);

    sqlite3 *m_db = nullptr;
    ConnectionLink m_link;
    QString m_path;
    QStringList m_purged; // purged but still in the file until the next write or close
    // Purged queries made again inside the caller's transaction: pending again if it rolls back.
    QStringList m_purgedAgainOnRollback;
    // Set when this operation's connection may serve the next one: opened read-write with the
    // cached key. The password tells its key from another file's.
    bool m_keepable = false;
    QString m_password;
};

// All of one transaction or nothing: rolls back unless committed. It holds the file's handle,
// not the Database object, so a move of the Database leaves it working on the same file.
class Transaction {
public:
    explicit Transaction(Database &db);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;
    void commit();

private:
    ConnectionLink m_link;
    bool m_done = false;
};

// The version of the cipher engine linked into the program; empty when the engine cannot
// encrypt (plain SQLite was linked), in which case no data file may be written.
QString cipherVersion();

} // namespace ds
