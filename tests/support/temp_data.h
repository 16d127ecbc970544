#pragma once

#include "datastore/data_file.h"

#include <QString>
#include <QTemporaryDir>

// A temporary home folder; the program's data folder and file are made below it, never in the
// real home folder.
class TempHome {
public:
    TempHome();
    ~TempHome();
    TempHome(const TempHome &) = delete;
    TempHome &operator=(const TempHome &) = delete;

    QString path() const { return m_dir.path(); }
    QString file(const QString &name) const { return m_dir.filePath(name); }
    ds::DataPaths paths() const;
    // Copies the real seed file to the data file's place and returns its path.
    QString installSeed() const;

private:
    QTemporaryDir m_dir;
    QByteArray m_oldHome;
};

// The seed file the build made.
QString seedFilePath();

// A fresh copy of the seed file at path.
QString copySeedTo(const QString &path);

// Tests that count, list or search herbs set the table of the data file at path to the twelve
// herbs that shipped first, in their first order, so the shipped table can grow without changing
// what those tests check. Returns path.
QString keepOnlyFirstHerbs(const QString &path);
