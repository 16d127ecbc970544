#include "browse/herb_sheet.h"

#include "browse/grid_model.h"

namespace browse {

sheet::ListSheet herbSheet(const HerbGridModel &grid)
{
    sheet::ListSheet list{QStringLiteral("药材"),
                          {QStringLiteral("名称"), QStringLiteral("归经"), QStringLiteral("性味"), QStringLiteral("功效"),
                           QStringLiteral("主治"), QStringLiteral("用法"), QStringLiteral("宜忌")},
                          {12, 16, 14, 36, 44, 36, 30},
                          {}};
    list.rows.reserve(grid.rowCount());
    for (int row = 0; row < grid.rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < kGridColumns; ++column)
            cells.append(grid.cell(row, column));
        list.rows.append(cells);
    }
    return list;
}

} // namespace browse
