#include "browse/herb_detail.h"

#include "datastore/database.h"

namespace browse {

std::optional<herbs::HerbRecord> lookUpHerb(ds::Database &db, const QString &name)
{
    // Through the name index: a query on 名称 compares in pinyin order, which no index serves,
    // and would read the whole table for every click. Only identical names are equal in that
    // order, so the index finds the very same herb.
    db.purgeQueries();
    ds::TableRecordset herbs = db.openTable(herbs::kHerbTable);
    herbs.setIndex(herbs::kNameIndex);
    herbs.seek(QStringLiteral("="), name);
    if (herbs.noMatch() || herbs.field(0).isNull())
        return std::nullopt;
    herbs::HerbRecord record;
    for (int position = 0; position < herbs::kHerbFieldCount; ++position)
        record[size_t(position)] = herbs.field(position).toString();
    return record;
}

} // namespace browse
