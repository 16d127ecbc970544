#include "browse/pick_lists.h"

#include "datastore/database.h"
#include "datastore/engine_text.h"
#include "datastore/pinyin_collation.h"
#include "datastore/statement.h"

#include <algorithm>
#include <string_view>
#include <unordered_set>

namespace browse {

namespace {

// Looks a value up by the engine's bytes, so that a value seen before costs no copy.
struct BytesHash {
    using is_transparent = void;
    size_t operator()(std::string_view bytes) const { return std::hash<std::string_view>{}(bytes); }
};

} // namespace

QStringList pickListItems(ds::Database &db, const QString &source)
{
    ds::Statement rows(db.handle(), source);
    std::unordered_set<std::string, BytesHash, std::equal_to<>> seen;
    while (rows.step()) {
        const std::string_view value = rows.utf8(0);
        if (!rows.isNull(0) && !seen.contains(value))
            seen.emplace(value);
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
        items.append(ds::fromEngineText(value.data(), qsizetype(value.size())));
    return items;
}

} // namespace browse
