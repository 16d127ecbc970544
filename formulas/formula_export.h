#pragma once

#include "spreadsheet/xlsx_list.h"

#include <QList>

namespace ds {
class Database;
}

namespace formulas {

// The listed formulas as a workbook's list: one row a formula in the order given, its eight
// texts under their column names, the name without its final "。" and an empty text for the
// single space that stands for none. A row no longer stored is left out.
sheet::ListSheet formulaSheet(ds::Database &db, const QList<qint64> &rowIds);

} // namespace formulas
