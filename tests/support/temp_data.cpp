#include "temp_data.h"

#include "datastore/sql_text.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

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

QString keepOnlyFirstHerbs(const QString &path)
{
    const QStringList names{"人参。", "黄芪。", "当归。", "甘草。", "白术。", "茯苓。",
                            "川芎。", "白芍。", "熟地黄。", "陈皮。", "金银花。", "黄连。"};
    ds::Database db = ds::openDataFile(path);
    QList<QVariantList> rows;
    for (const QString &name : names) {
        ds::Dynaset row = db.openDynaset("SELECT * FROM 中医药材 WHERE 名称 = '" + ds::sqlEscape(name) + "'");
        if (row.eof()) {
            ADD_FAILURE() << "the seed lacks " << name.toStdString() << ", one of the twelve herbs that shipped first";
            continue;
        }
        QVariantList values;
        for (int column = 0; column < row.fieldCount(); ++column)
            values.append(row.field(column));
        rows.append(values);
    }
    // Deleted and added again in the first order, which the name list shows.
    db.execute("DELETE * FROM 中医药材");
    for (const QVariantList &values : rows)
        db.execute("INSERT INTO 中医药材 VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)", values);
    return path;
}
