#pragma once

#include "browse/grid_model.h"

#include <optional>

namespace ds {
class Database;
}

namespace browse {

// The scratch query the grid loads from and the query leaves its text in.
inline const QString kScratchQuery = QStringLiteral("000");

// The rows of a stored query or table, positions 0 to 6 of each as stored; a Null value is an
// empty cell. Nothing when the result has no row. Rows are read as they come and kept as the
// engine gives them, so the whole table costs only what the grid keeps.
std::optional<QList<GridRow>> readGridRows(ds::Database &db, const QString &source);

// The whole herb table in the order of the sort choice (an empty list when it has no herb);
// leaves the text in the scratch query.
QList<GridRow> loadWholeTable(ds::Database &db, const QString &sortChoice);

// Stores the query text as the scratch query and reads what it finds, in one pass; nothing
// when it finds no herb. (A herb without a name, which only empty conditions find, does not
// hide the herbs after it, as in the whole table.)
std::optional<QList<GridRow>> runQuery(ds::Database &db, const QString &text);

} // namespace browse
