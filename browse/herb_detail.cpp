#include "browse/herb_detail.h"

#include "browse/grid_rows.h"
#include "datastore/database.h"
#include "datastore/sql_text.h"

namespace browse {

std::optional<herbs::HerbRecord> lookUpHerb(ds::Database &db, const QString &name)
{
    db.purgeQueries();
    db.createQuery(kScratchQuery, QStringLiteral("SELECT * FROM 中医药材 WHERE 名称 = '") + ds::sqlEscape(name)
                                      + QLatin1Char('\''));
    ds::Dynaset found = db.openDynaset(kScratchQuery);
    if (ds::isEmptyResult(found))
        return std::nullopt;
    herbs::HerbRecord record;
    for (int position = 0; position < herbs::kHerbFieldCount; ++position)
        record[size_t(position)] = found.text(position);
    return record;
}

} // namespace browse
