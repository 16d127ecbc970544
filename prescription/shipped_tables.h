#pragma once

#include "prescription/compound_names.h"
#include "prescription/incompatibility_table.h"
#include "prescription/pregnancy_table.h"

namespace rx {

// The three tables a prescription is checked and expanded with.
struct PrescriptionTables {
    IncompatibilityTable incompatibilities;
    QList<PregnancyEntry> pregnancy;
    QList<CompoundName> compounds;
};

// Reads the tables the program carries in its resources. A malformed line throws ds::RunError
// naming its file and line; given the shipped herbs' names, so does a name that is none of them.
PrescriptionTables readShippedTables(const QSet<QString> *shippedHerbs = nullptr);

// The same, read at first use and kept. The seed tests read these very files against the shipped
// herbs, so a built program meets no malformed line; if it ever did, every call throws, and a
// check must then say it cannot check rather than find nothing.
const PrescriptionTables &shippedTables();

} // namespace rx
