#pragma once

#include "herbs/herb_record.h"

#include <optional>

namespace ds {
class Database;
}

namespace browse {

// The herb whose 名称 equals the name exactly, read through the scratch query: its eight
// stored texts, untrimmed (a Null position reads as the empty text); nothing when the result
// is empty. A single quote in the name is searched for as a character.
std::optional<herbs::HerbRecord> lookUpHerb(ds::Database &db, const QString &name);

} // namespace browse
