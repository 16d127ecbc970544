#include "browse/column_widths.h"

#include "datastore/data_file.h"
#include "datastore/errors.h"

#include <functional>

namespace browse {
namespace {

constexpr int kLastPosition = 17;
constexpr int kWidthPosition = 8;
constexpr int kHeightPosition = 9;
constexpr int kMaximizedPosition = 10;

using ds::skipOnFailure;

// Hands record 103 of the file on (found false when the table has none). Every step that fails
// is skipped; one that leaves no table to use ends here.
void useWidthRecord(const QString &dataFile, const std::function<void(ds::TableRecordset &, bool found)> &use)
{
    std::optional<ds::Database> db;
    std::optional<ds::TableRecordset> table;
    if (!skipOnFailure([&] { db.emplace(ds::openDataFile(dataFile)); }))
        return;
    skipOnFailure([&] { db->purgeQueries(); });
    if (!skipOnFailure([&] { table.emplace(db->openTable(kSettingsTable)); }))
        return;
    bool found = false;
    skipOnFailure([&] {
        table->setIndex(kSettingsIndex);
        table->seek(QStringLiteral("="), kWidthRecordKey);
        found = !table->noMatch();
    });
    use(*table, found);
}

// A stored size at a position, held within 0 and kMostColumnWidth; nothing for a Null or a
// field that cannot be read.
std::optional<int> storedSize(ds::TableRecordset &table, int position)
{
    std::optional<int> size;
    skipOnFailure([&] {
        const QVariant value = table.field(position);
        if (value.isNull())
            return;
        // Compared before any conversion to int: 4,000,000,000 must not come back negative.
        const double stored = value.toDouble();
        size = stored <= 0 ? 0 : stored >= kMostColumnWidth ? kMostColumnWidth : int(value.toLongLong());
    });
    return size;
}

} // namespace

StoredWidths ReadColW(const QString &dataFile)
{
    StoredWidths widths{};
    useWidthRecord(dataFile, [&](ds::TableRecordset &table, bool found) {
        for (size_t i = 0; i < widths.size(); ++i)
            widths[i] = found ? storedSize(table, int(i) + 1) : kDefaultColumnWidths[i];
    });
    return widths;
}

WindowSize ReadWindowSize(const QString &dataFile)
{
    WindowSize size;
    useWidthRecord(dataFile, [&](ds::TableRecordset &table, bool found) {
        if (!found)
            return;
        size.width = storedSize(table, kWidthPosition).value_or(0);
        size.height = storedSize(table, kHeightPosition).value_or(0);
        size.maximized = storedSize(table, kMaximizedPosition).value_or(0) == 1;
    });
    return size;
}

void WriteColW(const QString &dataFile, const std::array<int, 7> &widths, const WindowSize &size)
{
    useWidthRecord(dataFile, [&](ds::TableRecordset &table, bool found) {
        if (!skipOnFailure([&] { found ? table.edit() : table.addNew(); }))
            return;
        if (!found)
            skipOnFailure([&] { table.setField(0, kWidthRecordKey); });
        for (int i = 1; i <= kLastPosition; ++i) {
            int value = 0;
            if (i <= 7)
                value = widths[size_t(i - 1)];
            else if (i == kWidthPosition)
                value = size.width;
            else if (i == kHeightPosition)
                value = size.height;
            else if (i == kMaximizedPosition)
                value = size.maximized ? 1 : 0;
            skipOnFailure([&] { table.setField(i, value); });
        }
        skipOnFailure([&] { table.update(); });
    });
}

} // namespace browse
