#pragma once

#include <QFile>
#include <QString>
#include <QTemporaryDir>

namespace bench {

// A fresh, writable copy of the seed file in dir, as the data file "ccyc.mdb".
inline QString freshCopy(const QTemporaryDir &dir)
{
    const QString path = dir.filePath("ccyc.mdb");
    QFile::remove(path);
    QFile::copy(QStringLiteral(CC_SEED_FILE), path);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    return path;
}

} // namespace bench
