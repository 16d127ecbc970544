#include "browse/column_widths.h"
#include "browse_fixture.h"

#include <QDir>

namespace {

class ColumnWidths : public BrowseData {
protected:
    QVariantList storedRecord() const
    {
        ds::Database db = ds::openDataFile(dataFile);
        ds::TableRecordset table = db.openTable(browse::kSettingsTable);
        table.setIndex(browse::kSettingsIndex);
        table.seek("=", browse::kWidthRecordKey);
        if (table.noMatch())
            return {};
        QVariantList values;
        for (int i = 0; i <= 17; ++i)
            values.append(table.field(i));
        return values;
    }
    int recordCount() const
    {
        ds::Database db = ds::openDataFile(dataFile);
        return db.openDynaset("select count(*) FROM 系统附表 WHERE 记录号 = 103").field(0).toInt();
    }
};

browse::StoredWidths all(const std::array<int, 7> &widths)
{
    browse::StoredWidths stored;
    for (size_t i = 0; i < widths.size(); ++i)
        stored[i] = widths[i];
    return stored;
}

} // namespace

TEST_F(ColumnWidths, DefaultsWithoutTheRecordThenRoundTrip)
{
    ASSERT_TRUE(storedRecord().isEmpty());
    EXPECT_EQ(browse::ReadColW(dataFile), all(browse::kDefaultColumnWidths));

    browse::WriteColW(dataFile, {1800, 0, 2100, 3015, 4000, 10, 3600});
    const QVariantList record = storedRecord();
    ASSERT_EQ(record.size(), 18);
    EXPECT_EQ(record[0].toInt(), 103);
    for (int i = 8; i <= 17; ++i)
        EXPECT_EQ(record[i], QVariant(0)) << i;
    EXPECT_EQ(browse::ReadColW(dataFile), all({1800, 0, 2100, 3015, 4000, 10, 3600}));

    EXPECT_EQ(browse::ReadWindowSize(dataFile), browse::WindowSize{}); // the designed size

    // A second save rewrites the record instead of adding another, the window's size beside.
    browse::WriteColW(dataFile, {1, 2, 3, 4, 5, 6, 7}, {13000, 8000, true});
    EXPECT_EQ(recordCount(), 1);
    EXPECT_EQ(browse::ReadColW(dataFile), all({1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(browse::ReadWindowSize(dataFile), (browse::WindowSize{13000, 8000, true}));
}

TEST_F(ColumnWidths, NullWidthLeavesItsColumnAndUnreadableFileLeavesAll)
{
    browse::WriteColW(dataFile, {1800, 2000, 2100, 3015, 4000, 3500, 3600});
    ds::openDataFile(dataFile).execute("UPDATE 系统附表 SET 列宽3 = NULL WHERE 记录号 = 103");
    browse::StoredWidths expected = all({1800, 2000, 2100, 3015, 4000, 3500, 3600});
    expected[2].reset();
    EXPECT_EQ(browse::ReadColW(dataFile), expected);

    // Widths no grid can take, as another program or a damaged record may leave them.
    ds::openDataFile(dataFile).execute("UPDATE 系统附表 SET 列宽1 = 4000000000, 列宽2 = -5, 列宽4 = 1e300, 列宽5 = 144001, "
                                       "列宽6 = -4000000000 WHERE 记录号 = 103");
    const int most = browse::kMostColumnWidth;
    expected = all({most, 0, 2100, most, most, 0, 3600});
    expected[2].reset();
    EXPECT_EQ(browse::ReadColW(dataFile), expected);

    const QString missing = home.file("nowhere/ccyc.mdb");
    EXPECT_EQ(browse::ReadColW(missing), browse::StoredWidths{});
    browse::WriteColW(missing, browse::kDefaultColumnWidths); // reports nothing
    EXPECT_FALSE(QFile::exists(missing));

    // A file without the settings table: reading and writing skip what fails.
    ds::openDataFile(dataFile).execute("DROP TABLE 系统附表");
    browse::WriteColW(dataFile, browse::kDefaultColumnWidths);
    EXPECT_EQ(browse::ReadColW(dataFile), browse::StoredWidths{});
}
