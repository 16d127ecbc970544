#pragma once

#include "herbs/herb_record.h"

namespace herbs {

// The outcome of the input check over the eight texts of a herb.
struct InputCheck {
    int missingField = -1; // the first empty required field, or -1 when all are filled
    QString message;       // what to tell the user about that field
    // The texts without leading and trailing spaces; when the check passes, 归经, 性味, 宜忌
    // and 心得 that are empty hold a single space.
    HerbRecord texts;

    bool passed() const { return missingField < 0; }
};

// 名称, 功效, 主治 and 用法 are required, tested in that order.
InputCheck checkHerbInput(const HerbRecord &fields);

} // namespace herbs
