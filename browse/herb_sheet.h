#pragma once

#include "spreadsheet/xlsx_list.h"

namespace browse {

class HerbGridModel;

// The herbs the grid lists, as a workbook's list: one row a herb in the grid's order, its seven
// columns as the cells show them, under their names.
sheet::ListSheet herbSheet(const HerbGridModel &grid);

} // namespace browse
