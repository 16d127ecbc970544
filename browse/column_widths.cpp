#include "browse/column_widths.h"

#include "datastore/data_file.h"
#include "datastore/errors.h"

namespace browse {
namespace {

constexpr int kLastPosition = 17;

using ds::skipOnFailure;

} // namespace

StoredWidths ReadColW(const QString &dataFile)
{
    StoredWidths widths{};
    std::optional<ds::Database> db;
    std::optional<ds::TableRecordset> table;
    if (!skipOnFailure([&] { db.emplace(ds::openDataFile(dataFile)); }))
        return widths;
    skipOnFailure([&] { db->purgeQueries(); });
    if (!skipOnFailure([&] { table.emplace(db->openTable(kSettingsTable)); }))
        return widths;
    bool found = false;
    skipOnFailure([&] {
        table->setIndex(kSettingsIndex);
        table->seek(QStringLiteral("="), kWidthRecordKey);
        found = !table->noMatch();
    });
    for (size_t i = 0; i < widths.size(); ++i) {
        if (!found) {
            widths[i] = kDefaultColumnWidths[i];
            continue;
        }
        skipOnFailure([&] {
            const QVariant value = table->field(int(i) + 1);
            if (value.isNull())
                return;
            // Compared before any conversion to int: 4,000,000,000 must not come back negative.
            const double stored = value.toDouble();
            widths[i] = stored <= 0 ? 0 : stored >= kMostColumnWidth ? kMostColumnWidth : int(value.toLongLong());
        });
    }
    return widths;
}

void WriteColW(const QString &dataFile, const std::array<int, 7> &widths)
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
    if (!skipOnFailure([&] { found ? table->edit() : table->addNew(); }))
        return;
    if (!found)
        skipOnFailure([&] { table->setField(0, kWidthRecordKey); });
    for (int i = 1; i <= kLastPosition; ++i)
        skipOnFailure([&] { table->setField(i, i <= 7 ? widths[size_t(i - 1)] : 0); });
    skipOnFailure([&] { table->update(); });
}

} // namespace browse
