#pragma once

#include <QByteArray>

namespace ds {

class Database;

// What tells the data file as one operation finds it from the file after any later commit: the
// stored bytes of its first page. Every commit rewrites that page (the engine counts the file's
// changes there) and the cipher encrypts each written page under a fresh random IV, so the bytes
// differ after every commit by any connection; another file differs by its salt. Read through the
// connection's own file handle (opening the file anew would drop the locks this process holds on
// it). Something kept from a read of the file (the formula index) is still good while the stamp
// is the same. Empty when the file cannot be read, which matches no stamp kept before.
QByteArray changeStamp(Database &db);

} // namespace ds
