#include "browse/pick_lists.h"

#include "datastore/database.h"
#include "datastore/pinyin_collation.h"
#include "datastore/statement.h"

#include <algorithm>
#include <unordered_set>

namespace browse {

QStringList pickListItems(ds::Database &db, const QString &source)
{
    ds::Statement rows(db.handle(), source);
    std::unordered_set<std::string> seen;
    while (rows.step()) {
        if (!rows.isNull(0))
            seen.emplace(rows.utf8(0));
    }
    return distinctInPinyinOrder({seen.begin(), seen.end()});
}

QStringList distinctInPinyinOrder(std::vector<std::string> values)
{
    // The collation calls only identical texts equal, so equal bytes are the duplicates.
    std::sort(values.begin(), values.end());
    values.erase(std::unique(values.begin(), values.end()), values.end());
    std::sort(values.begin(), values.end(),
              [](const std::string &a, const std::string &b) { return ds::comparePinyin(a, b) < 0; });
    QStringList items;
    items.reserve(qsizetype(values.size()));
    for (const std::string &value : values)
        items.append(QString::fromStdString(value));
    return items;
}

} // namespace browse
