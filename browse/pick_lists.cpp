#include "browse/pick_lists.h"

#include "datastore/database.h"
#include "datastore/statement.h"

namespace browse {

QStringList pickListItems(ds::Database &db, const QString &source)
{
    ds::Statement rows(db.handle(), source);
    QStringList items;
    while (rows.step()) {
        const QVariant value = rows.value(0);
        if (!value.isNull())
            items.append(value.toString());
    }
    return items;
}

} // namespace browse
