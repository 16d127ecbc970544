#include "datastore/data_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace ds {

DataPaths DataPaths::under(const QString &home, const QString &programFolder)
{
    DataPaths paths;
    paths.dataFolder = QDir(home).filePath(kDataFolderName);
    paths.dataFile = QDir(paths.dataFolder).filePath(kDataFileName);
    paths.seedFile = QDir(programFolder).filePath(kDataFileName);
    // An installed program keeps its seed in its share folder (bin/../share/ccherb).
    const QString shared = QDir(programFolder).filePath(QStringLiteral("../share/ccherb/") + kDataFileName);
    if (!QFileInfo::exists(paths.seedFile) && QFileInfo::exists(shared))
        paths.seedFile = QDir::cleanPath(shared);
    return paths;
}

namespace {

QString &programFolderOverride()
{
    static QString folder;
    return folder;
}

} // namespace

void setProgramFolder(const QString &folder)
{
    programFolderOverride() = folder;
}

DataPaths dataPaths()
{
    const QString programFolder = programFolderOverride();
    return DataPaths::under(QDir::homePath(),
                            programFolder.isEmpty() ? QCoreApplication::applicationDirPath() : programFolder);
}

Database openDataFile()
{
    return openDataFile(dataPaths().dataFile);
}

Database openDataFile(const QString &path)
{
    return Database::open(path, kDataFileConnect);
}

} // namespace ds
