#pragma once

#include "datastore/data_file.h"

#include <QString>

#include <functional>

namespace startup {

enum class DataFileState {
    Ready,   // the data file exists (copied from the seed if it was missing)
    DataLost // neither the data file nor the seed file exists
};

// Makes sure the data folder and data file exist; the seed is copied only when the data file is
// missing, and an existing data file is never overwritten. Throws RunError when the folder
// cannot be made or the seed cannot be copied.
DataFileState ensureDataFile(const ds::DataPaths &paths);

// How a written file or folder is made safe on disk (fsync by default); true when it is. Tests
// put a failing or recording stand-in here; an empty function brings fsync back.
using FileSync = std::function<bool(int handle)>;
void setFileSync(FileSync sync);

// The start-up self-check of the engine: an engine that cannot encrypt (empty version) would
// write the clinic's data in the clear, so it is refused before any file is touched.
void requireCipher(const QString &cipherVersion);

// Reads the whole data file, then opens it once and closes it: a missing or damaged file, a wrong
// password, a data file or folder that cannot be written throws here, before the start-up
// writes anything.
void openCheck(const QString &dataFile);

enum class FirstUseRoad {
    PasswordSetup, // 密码表 has no usable row
    ClinicSetup,   // 用户资料 has no usable row
    Normal
};

// Purges the stored queries and checks 密码表 (stored query "000") and then 用户资料
// ("001"); the queries are left in the file.
FirstUseRoad checkFirstUse(const QString &dataFile);

} // namespace startup
