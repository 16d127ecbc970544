#pragma once

#include <QString>

namespace ds {

// A user's value made safe to stand between single quotes of an SQL text: every single quote
// is doubled, so the value can never end the literal and change the statement. A NUL (which
// no literal can hold) is joined in as "'||char(0)||'", so the value must stand where an
// expression may.
QString sqlEscape(const QString &value);

// The value between single quotes, ready to place into an SQL text.
QString sqlQuoted(const QString &value);

// An identifier in double quotes (table, column or stored-query names).
QString sqlIdentifier(const QString &name);

// The file's SQL dialect accepts "DELETE * FROM t"; the engine underneath knows only
// "DELETE FROM t".
QString toEngineDialect(const QString &sql);

// True when the text is a SELECT: its first word, after blanks and comments, is SELECT.
bool isSelectText(const QString &sql);

// The connect string's password: the text after "pwd=" up to the next ";".
QString passwordFromConnect(const QString &connect);

} // namespace ds
