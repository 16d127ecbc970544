#pragma once

#include <QString>

struct sqlite3;

namespace ds {

// The data file's connection is kept open between operations, so the pages it has decrypted
// and authenticated once (the start-up's whole-file check reads them all) are read from memory
// by the operations after it. Each operation still meets the file as it is on the disk: the
// kept connection is handed out only while the file at the path is the one it opened and
// nothing but this connection changed it; otherwise it is closed and the file opened afresh.

// Its page cache, in KiB: a large clinic's whole file, never more.
inline constexpr int kKeptCacheKibibytes = 128 * 1024;

// Sizes the page cache of a connection that may be kept: when it is opened, and again when it is
// kept, should an operation have shrunk it for its own work.
void sizeCacheForKeeping(sqlite3 *db);

// The kept connection when it was opened on this path with this password (only read-write
// connections are kept), and the file is still the one it read: the path names the file its
// own descriptor opened, with the same salt and time, the file's mode allows what the
// connection was opened with (a file made read-only or writable meanwhile is opened afresh),
// and the same file layer. Otherwise it is closed and the answer is nullptr. A commit by another
// connection is met by the engine itself, which drops the pages it holds when the change counter
// on the first page has changed.
sqlite3 *takeKeptConnection(const QString &path, const QString &password);

// Keeps an idle handle (no transaction, statement or attached file left) for the next
// operation, in place of any kept before; a busy one is closed as it always was.
void keepConnection(sqlite3 *db, const QString &path, const QString &password);

// Closes the kept connection: before a file is replaced, so none reads on through a renamed or
// overwritten file. The next operation opens the file afresh.
void closeKeptConnection();

// How many opens in this process the kept connection has served: the harnesses prove with it
// that their operations ran through it.
int keptConnectionServed();

} // namespace ds
