#include "formulas/formula_export.h"

#include "datastore/database.h"
#include "datastore/herb_aliases.h"
#include "datastore/statement.h"
#include "datastore/text_trim.h"
#include "formulas/formula_table.h"

namespace formulas {

sheet::ListSheet formulaSheet(ds::Database &db, const QList<qint64> &rowIds)
{
    sheet::ListSheet list{QStringLiteral("方剂"),
                          {QStringLiteral("方剂名称"), QStringLiteral("方剂组成"), QStringLiteral("功用"), QStringLiteral("主治"),
                           QStringLiteral("用法"), QStringLiteral("来源"), QStringLiteral("分类"), QStringLiteral("心得")},
                          {16, 48, 30, 48, 36, 24, 24, 30},
                          {}};
    ds::Statement read(db.handle(), QStringLiteral("SELECT * FROM 中医方剂 WHERE rowid = ?1"));
    for (const qint64 rowId : rowIds) {
        read.reset();
        read.bind(1, rowId);
        if (!read.step())
            continue;
        QStringList row;
        for (int field = 0; field < kFormulaFieldCount; ++field) {
            const QString text = read.value(field).toString();
            row.append(field == kFormulaName ? ds::aliasKey(text) : ds::trimSpaces(text));
        }
        list.rows.append(row);
    }
    return list;
}

} // namespace formulas
