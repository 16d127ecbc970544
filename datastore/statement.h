#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace ds {

// Throws the run-time error that matches an engine result code on this connection.
[[noreturn]] void throwEngineError(sqlite3 *db, int resultCode, const QString &context = {});

// One prepared statement that finalizes itself. It refuses a text that holds more than one
// statement, so a value typed by a user can never smuggle a second one in.
class Statement {
public:
    Statement(sqlite3 *db, const QString &sql);
    ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    void bind(int index, const QVariant &value); // index counts from 1
    bool step();                                 // true while a row is available
    int run();                                   // steps to the end; rows changed
    void reset();

    bool isReadOnly() const; // true for a statement that only reads (a SELECT)
    int columnCount() const;
    QString columnName(int column) const;
    QVariant value(int column) const;
    QVariantList row() const;
    qint64 integer(int column) const;
    // The column's text as the engine holds it, valid until the next step; empty for a Null.
    std::string_view utf8(int column) const;
    bool isNull(int column) const;
    bool isText(int column) const; // stored as text, so utf8() gives it without a conversion

private:
    sqlite3 *m_db;
    sqlite3_stmt *m_stmt = nullptr;
};

} // namespace ds
