#pragma once

#include "herbs/herb_record.h"

#include <optional>

namespace ds {
class Database;
}

namespace browse {

// The herb whose 名称 equals the name exactly: its eight stored texts, untrimmed (a Null
// position reads as the empty text); nothing when no herb has that name. Any character of
// the name, a single quote too, is searched for as itself.
std::optional<herbs::HerbRecord> lookUpHerb(ds::Database &db, const QString &name);

} // namespace browse
