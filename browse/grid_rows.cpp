#include "browse/grid_rows.h"

#include "browse/query_text.h"
#include "datastore/database.h"
#include "datastore/engine_text.h"
#include "datastore/sql_text.h"
#include "datastore/statement.h"

namespace browse {

std::optional<QList<GridRow>> readGridRows(ds::Database &db, const QString &source)
{
    ds::Statement rows(db.handle(), QStringLiteral("SELECT * FROM ") + ds::sqlIdentifier(source));
    const int shown = std::min(rows.columnCount(), kGridColumns);
    QList<GridRow> read;
    std::array<std::string_view, kGridColumns> values;
    std::array<QByteArray, kGridColumns> converted;
    while (rows.step()) {
        for (int column = 0; column < shown; ++column) {
            const auto c = size_t(column);
            if (rows.isText(column) || rows.isNull(column)) {
                values[c] = rows.utf8(column);
            } else {
                // A number or a binary value reads as the text it always made.
                converted[c] = ds::toEngineText(rows.value(column).toString());
                values[c] = std::string_view(converted[c].constData(), size_t(converted[c].size()));
            }
        }
        read.emplace_back(std::span(values.data(), size_t(shown)));
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
