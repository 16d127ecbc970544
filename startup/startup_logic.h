#pragma once

#include "datastore/data_file.h"
#include "datastore/errors.h"

#include <QString>

namespace startup {

enum class DataFileState {
    Ready,   // the data file exists (copied from the seed if it was missing)
    DataLost // neither the data file nor the seed file exists
};

// Makes sure the data folder and data file exist; the seed is copied only when the data file is
// missing, and an existing data file is never overwritten. Throws RunError when the folder
// cannot be made or the seed cannot be copied.
DataFileState ensureDataFile(const ds::DataPaths &paths);

// The start-up self-check of the engine: an engine that cannot encrypt (empty version) would
// write the clinic's data in the clear, so it is refused before any file is touched.
void requireCipher(const QString &cipherVersion);

// Reads the whole data file, then opens it once and closes it: a missing or damaged file, a wrong
// password, a data file or folder that cannot be written throws here, before the start-up
// writes anything.
void openCheck(const QString &dataFile);

// Whether the refusal of the data file at start-up is one that restoring a backup mends: a
// damaged, empty, cut-short or unreadable file (not a second copy, a wrong engine, a folder
// that cannot be written).
bool mendedByRestore(const ds::RunError &refusal);

// The question start-up asks when it is: what it found, and whether to restore now.
QString restoreQuestion(const ds::RunError &refusal, const QString &dataFile);

// What the program says when it ends without the restore (否 to that question, or the recovery
// window left): what it does next.
QString restoreLaterNotice();

enum class FirstUseRoad {
    PasswordSetup, // 密码表 has no usable row
    ClinicSetup,   // 用户资料 has no usable row
    Normal
};

// What start-up tells before it opens the set-up screen of the road.
QString firstUseNotice(FirstUseRoad road);

// Purges the stored queries and checks 密码表 (stored query "000") and then 用户资料
// ("001"); the queries are left in the file.
FirstUseRoad checkFirstUse(const QString &dataFile);

} // namespace startup
