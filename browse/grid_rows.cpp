#include "browse/grid_rows.h"

#include "browse/query_text.h"
#include "datastore/database.h"
#include "datastore/sql_text.h"
#include "datastore/statement.h"
#include "datastore/text_trim.h"

namespace browse {

std::optional<QList<GridRow>> readGridRows(ds::Database &db, const QString &source)
{
    ds::Statement rows(db.handle(), QStringLiteral("SELECT * FROM ") + ds::sqlIdentifier(source));
    const int shown = std::min(rows.columnCount(), kGridColumns);
    QList<GridRow> read;
    while (rows.step()) {
        GridRow &row = read.emplace_back();
        for (int column = 0; column < shown; ++column) {
            const QString stored = rows.value(column).toString();
            if (column == 0)
                row.storedName = stored; // one text with the cell's, unless trimming changed it
            row.cells[size_t(column)] = ds::trimSpaces(stored);
        }
    }
    if (read.isEmpty())
        return std::nullopt;
    read.squeeze();
    return read;
}

QList<GridRow> loadWholeTable(ds::Database &db, const QString &sortChoice)
{
    db.purgeQueries();
    db.createQuery(kScratchQuery, wholeTableText(sortChoice));
    return readGridRows(db, kScratchQuery).value_or(QList<GridRow>());
}

std::optional<QList<GridRow>> runQuery(ds::Database &db, const QString &text)
{
    db.purgeQueries();
    db.createQuery(kScratchQuery, text);
    return readGridRows(db, kScratchQuery);
}

} // namespace browse
