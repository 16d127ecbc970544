#pragma once

// Formula tables of any size over the generated herbs: names unique, 4 to 14 ingredients each
// with a dose and now and then a dispensing note, the herbs drawn so that a few are in many
// formulas and most in few, as 甘草 and 当归 are in real ones; some written as a processed form
// or an alias. The same count and seed always give the same formulas.

#include "formulas/name_tables.h"

#include <QString>

namespace bench {

// Herbs 0 to kFormedHerbs - 1 (the most used) have three processed forms each, taken from the
// least used herbs at the end of the table.
inline constexpr int kFormedHerbs = 100;
formulas::ProcessedForms generatedProcessedForms(int herbs);

// Replaces the formula table of the data file by count formulas over herbs generated herbs (one
// transaction), writing some ingredients as an alias of the table given.
void generateFormulas(const QString &dataFile, int count, int herbs, const ds::AliasTable &aliases, quint32 seed = 2026);

QString generatedFormulaName(int index);

} // namespace bench
