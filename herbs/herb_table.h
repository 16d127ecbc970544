#pragma once

#include "herbs/herb_record.h"

#include <optional>

namespace ds {
class Database;
}

namespace herbs {

// Operations on 中医药材 through table-type access: the current index is ycmci and a herb is
// found by seeking its 名称 with "=".
//
// findHerb and addHerb seek the name exactly as given. The operations on a name a person typed
// (findTypedHerb, changeHerb, deleteHerb) seek its stored form first, so 人参, 人参。 and " 人参 "
// all find 人参。; then the typed name without its spaces, for rows this program did not write
// (imported ones, whose names may lack the final "。").

// The herb's eight stored texts (a Null column reads as the empty text), or nothing.
std::optional<HerbRecord> findHerb(ds::Database &db, const QString &name);
std::optional<HerbRecord> findTypedHerb(ds::Database &db, const QString &typedName);

enum class SaveOutcome { Added, AlreadyStored };
// Adds a row of the stored forms of the texts unless a herb named texts[kName] is stored.
// A stored form that clashes with another row's name is refused by the index (ds::RunError).
SaveOutcome addHerb(ds::Database &db, const HerbRecord &texts);

enum class ChangeOutcome { Changed, NotStored };
// Replaces all eight columns of the herb named texts[kName] by the stored forms of the texts.
ChangeOutcome changeHerb(ds::Database &db, const HerbRecord &texts);

// Removes the herb with that typed name; false when none is stored.
bool deleteHerb(ds::Database &db, const QString &name);

// The number of rows of 中医药材, read through the scratch query "000".
int herbCount(ds::Database &db);

} // namespace herbs
