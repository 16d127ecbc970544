#pragma once

#include "maintenance/import_records.h"

#include <functional>

namespace ds {
class Database;
}

namespace maint {

// Reads every row of the kind from an open source file: from the family's table (zyyc, zyfj)
// or else from a backup's own table, each column by its name, every text in stored form (a
// formula's composition in its one stored form when it reads whole); a text the source's table
// has no column for (the family's 方剂备注) is a null text. A
// missing table or column, a Null value or a row without a name stops the reading with a
// RunError that names the line and the column in the words of the screens.
QList<SourceRow> readSourceRows(ds::Database &source, ImportKind kind, const std::function<void(int)> &rowRead = {});

} // namespace maint
