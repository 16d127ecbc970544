#pragma once

#include "datastore/text_trim.h"

#include <QString>

#include <array>

namespace herbs {

// Column positions of 中医药材; the order is part of the data file's format.
enum HerbField : int {
    kName = 0,        // 名称
    kMeridian = 1,    // 归经
    kNature = 2,      // 性味
    kEfficacy = 3,    // 功效
    kIndications = 4, // 主治
    kUsage = 5,       // 用法
    kCautions = 6,    // 宜忌
    kNotes = 7,       // 心得
};
inline constexpr int kHerbFieldCount = 8;

// One herb: its eight texts in column order.
using HerbRecord = std::array<QString, kHerbFieldCount>;

inline const QString kHerbTable = QStringLiteral("中医药材");
inline const QString kNameIndex = QStringLiteral("ycmci");

using ds::trimSpaces;

} // namespace herbs
