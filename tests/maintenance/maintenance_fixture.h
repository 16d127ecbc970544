#pragma once

#include "datastore/data_file.h"
#include "datastore/errors.h"
#include "maintenance/import_records.h"
#include "temp_data.h"

#include <QDir>
#include <QFile>

#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <csignal>
#include <unistd.h>

#include <gtest/gtest.h>

inline QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

inline void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// Runs work in a child process and gives its exit code (-1 when it did not exit normally).
// The child ends with _exit, so nothing of the parent's state is torn down twice.
inline int inChild(const std::function<void()> &work)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        try {
            work();
        } catch (...) {
            ::_exit(1);
        }
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A child whose writes stop at limitBytes, as on a full disk: the write fails instead of
// killing the process.
inline int withFileSizeLimit(rlim_t limitBytes, const std::function<void()> &work)
{
    return inChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{limitBytes, limitBytes};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        work();
    });
}

inline QStringList herbNames(const QString &dataFile)
{
    ds::Database db = ds::openDataFile(dataFile);
    ds::Dynaset rows = db.openDynaset(QStringLiteral("SELECT 名称 FROM 中医药材 ORDER BY 名称"));
    QStringList names;
    for (rows.moveFirst(); !rows.eof(); rows.moveNext())
        names.append(rows.text(0));
    return names;
}

inline void addHerb(const QString &dataFile, const QString &name)
{
    ds::Database db = ds::openDataFile(dataFile);
    db.execute(QStringLiteral("INSERT INTO 中医药材 (名称) VALUES (?1)"), {name});
}

// Leaves the data file as a program that crashed inside a transaction leaves it: changed
// pages written and the journal that undoes them beside it.
inline void crashInsideTransaction(const QString &dataFile)
{
    ASSERT_EQ(inChild([&] {
                  ds::Database db = ds::openDataFile(dataFile);
                  db.execute(QStringLiteral("PRAGMA cache_size = 2"));
                  db.beginTransaction();
                  for (int i = 0; i < 400; ++i)
                      db.execute(QStringLiteral("INSERT INTO 中医药材 (名称, 功效) VALUES (?1, ?2)"),
                                 {QStringLiteral("未提交%1").arg(i), QString(200, QChar(u'药'))});
                  ::_exit(0);
              }),
              0);
    ASSERT_TRUE(QFile::exists(dataFile + "-journal"));
}

// A data file of this system made afresh, so its key salt differs from the seed's.
inline void makeDataFileWithOwnSalt(const QString &path, const QString &herb)
{
    QStringList schema;
    {
        ds::Database seed = ds::Database::openReadOnly(seedFilePath(), ds::kDataFileConnect);
        ds::Dynaset rows = seed.openDynaset(
            QStringLiteral("SELECT sql FROM sqlite_master WHERE sql IS NOT NULL AND substr(name, 1, 7) <> 'sqlite_' ORDER BY rowid"));
        for (rows.moveFirst(); !rows.eof(); rows.moveNext())
            schema.append(rows.text(0));
    }
    ds::Database db = ds::Database::create(path, ds::kDataFileConnect);
    for (const QString &statement : schema)
        db.execute(statement);
    db.execute(QStringLiteral("INSERT INTO 中医药材 VALUES (?1, ' ', ' ', ' ', ' ', ' ', ' ', ' ')"), {herb});
}

inline const QString kFamilyHerbColumns = QStringLiteral("ycmc,ycgj,ycxw,ycgy,yczz,ycyf,ycyj,ycxd");

// A source file of the system's family, keyed with its own password, with the rows given.
inline QString makeFamilySource(const QString &path, const QList<QVariantList> &herbs,
                                const QList<QVariantList> &prescriptions = {},
                                const QString &herbColumns = kFamilyHerbColumns)
{
    const auto marks = [](int count) {
        QStringList all;
        for (int i = 1; i <= count; ++i)
            all.append(QStringLiteral("?%1").arg(i));
        return all.join(QLatin1Char(','));
    };
    ds::Database db = ds::Database::create(path, maint::kImportSourceConnect);
    db.execute(QStringLiteral("CREATE TABLE zyyc (%1)").arg(herbColumns));
    db.execute(QStringLiteral("CREATE TABLE zyfj (fjmc, fjgc, fjgy, fjzz, fjyf, fjly, fjxd)"));
    const int columns = int(herbColumns.count(QLatin1Char(','))) + 1;
    for (const QVariantList &row : herbs)
        db.execute(QStringLiteral("INSERT INTO zyyc VALUES(%1)").arg(marks(columns)), row);
    for (const QVariantList &row : prescriptions)
        db.execute(QStringLiteral("INSERT INTO zyfj VALUES(%1)").arg(marks(7)), row);
    return path;
}
