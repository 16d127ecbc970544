#pragma once

#include <QString>

#include <array>
#include <optional>

namespace browse {

// The browse grid's seven column widths, in twips, kept in record 103 of 系统附表.
inline constexpr int kWidthRecordKey = 103;
inline constexpr std::array<int, 7> kDefaultColumnWidths{1400, 2000, 2000, 3000, 3500, 3500, 3600};
// A stored width is read within 0 (a hidden column) and 100 inches, wider than any screen.
inline constexpr int kMostColumnWidth = 144000;
inline const QString kSettingsTable = QStringLiteral("系统附表");
inline const QString kSettingsIndex = QStringLiteral("lllk");

// A width for each column; nothing leaves that column as it is.
using StoredWidths = std::array<std::optional<int>, 7>;

// The widths of record 103, or the defaults when the file has no such record. Every step
// that fails is skipped silently: a file that cannot be read leaves every column as it is,
// a Null width leaves its column, a width out of range is held to it.
StoredWidths ReadColW(const QString &dataFile);

// The browse window's size in twips at positions 8 and 9 of record 103, and 1 at position 10
// when it was maximized. A 0 (what files written before hold there) keeps the designed size.
struct WindowSize {
    int width = 0;
    int height = 0;
    bool maximized = false;
    bool operator==(const WindowSize &) const = default;
};

// The size of record 103, read as the widths are; nothing kept when it cannot be read.
WindowSize ReadWindowSize(const QString &dataFile);

// Stores the widths at positions 1 to 7 of record 103, the window's size at 8 to 10 and 0 at
// positions 11 to 17, adding the record when it is missing. A step that fails is skipped
// silently; nothing is reported.
void WriteColW(const QString &dataFile, const std::array<int, 7> &widths, const WindowSize &size = {});

} // namespace browse
