#pragma once

#include <memory>

struct sqlite3;

namespace ds {

// The handle of one open data file, shared with what was opened from it. The Database clears
// it when it closes and hands it on when it is moved, so a recordset or a transaction that
// outlives its Database (or stays behind after a move) finds a closed file, never a dangling
// handle.
using ConnectionLink = std::shared_ptr<sqlite3 *>;

// The open handle; RunError when the data file has been closed.
sqlite3 *liveHandle(const ConnectionLink &link);

} // namespace ds
