#include "temp_data.h"

#include <QDir>
#include <QFile>

TempHome::TempHome()
    : m_oldHome(qgetenv("HOME"))
{
    qputenv("HOME", m_dir.path().toUtf8());
}

TempHome::~TempHome()
{
    qputenv("HOME", m_oldHome);
}

ds::DataPaths TempHome::paths() const
{
    ds::DataPaths paths = ds::DataPaths::under(m_dir.path(), m_dir.path());
    paths.seedFile = seedFilePath();
    return paths;
}

QString TempHome::installSeed() const
{
    QDir().mkpath(paths().dataFolder);
    return copySeedTo(paths().dataFile);
}

QString seedFilePath()
{
    return QStringLiteral(CC_SEED_FILE);
}

QString copySeedTo(const QString &path)
{
    QFile::remove(path);
    QFile::copy(seedFilePath(), path);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    return path;
}
