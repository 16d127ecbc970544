#pragma once

#include "datastore/database.h"

#include <QString>

namespace ds {

// The password connect string of the clinic's data file.
inline const QString kDataFileConnect = QStringLiteral(";pwd=QxPlRvTnWkBsYmHd7254");
inline const QString kDataFileName = QStringLiteral("ccyc.mdb");
inline const QString kDataFolderName = QStringLiteral("ccdata");

struct DataPaths {
    QString dataFolder; // ~/ccdata
    QString dataFile;   // ~/ccdata/ccyc.mdb
    QString seedFile;   // ccyc.mdb beside the program (or in its share folder once installed)

    static DataPaths under(const QString &home, const QString &programFolder);
};

// The paths of this process: the user's home folder and the program's own folder.
DataPaths dataPaths();

// Whole-program tests put the program's folder (where the seed is looked for) elsewhere;
// an empty text goes back to the real one.
void setProgramFolder(const QString &folder);

// Opens the clinic's data file with its password, for one operation: the connection the last
// operation left open serves it while the file is unchanged (kept_connection.h).
Database openDataFile();
Database openDataFile(const QString &path);

// The engine's journal beside the file at path.
QString journalPath(const QString &path);
// Whether that journal holds a change the engine rolls back at the file's next open: its header
// was written. An empty or zeroed journal is not one.
bool journalToRollBack(const QString &path);

} // namespace ds
