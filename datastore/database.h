#pragma once

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

// One open data file. Opening proves the password at once; every failure is a RunError with a
// number from the catalogue. The handle closes itself when the object goes away.
class Database {
public:
    static Database open(const QString &path, const QString &connect, KeyMode mode = KeyMode::Cached);
    // Opens a file that must not change: nothing is written to it, not even a journal.
    static Database openReadOnly(const QString &path, const QString &connect);
    // Makes a new, empty, encrypted file (the seed tool and tests use this; the program never does).
    static Database create(const QString &path, const QString &connect);

    Database(Database &&other) noexcept;
    Database &operator=(Database &&other) noexcept;
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;
    ~Database();

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

    // A stored query's name, a table's name or an SQL text.
    Dynaset openDynaset(const QString &source);
    TableRecordset openTable(const QString &table);
    // Runs one statement; the count of rows it changed.
    int execute(const QString &sql);
    // Runs one statement whose "?1", "?2"... take the values given; the count of rows changed.
    int execute(const QString &sql, const QVariantList &values);

    void beginTransaction();
    void commit();
    void rollback();

    sqlite3 *handle() const { return m_db; }

private:
    static Database openWith(const QString &path, const QString &connect, KeyMode mode, int flags);
    Database(sqlite3 *db, QString path);
    bool isTableOrQuery(const QString &name) const;
    QStringList storedViews() const;
    QString queryTextInFile(const QString &name) const;
    void dropViews(const QStringList &names);
    void flushPurge();

    sqlite3 *m_db = nullptr;
    QString m_path;
    QStringList m_purged; // purged but still in the file until the next write or close
};

// All of one transaction or nothing: rolls back unless committed.
class Transaction {
public:
    explicit Transaction(Database &db);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;
    void commit();

private:
    Database &m_db;
    bool m_done = false;
};

// The version of the cipher engine linked into the program; empty when the engine cannot
// encrypt (plain SQLite was linked), in which case no data file may be written.
QString cipherVersion();

} // namespace ds
