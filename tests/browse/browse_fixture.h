#pragma once

#include "browse/query_text.h"
#include "datastore/data_file.h"
#include "datastore/herb_aliases.h"
#include "qstring_printer.h"
#include "temp_data.h"

#include <QVariantList>

#include <gtest/gtest.h>

// The nine conditions in the order of the screen's boxes: 名称, 性味, 归经, 功效1-3, 主治1-3.
inline browse::QueryConditions conditions(const QString &name = {}, const QString &nature = {},
                                          const QString &meridian = {}, std::array<QString, 3> efficacy = {},
                                          std::array<QString, 3> indications = {})
{
    return browse::QueryConditions{name, nature, meridian, efficacy, indications};
}

// A small alias table that the tests below can tell right from wrong with, whatever the
// shipped table holds: an alias naming two herbs, a herb named with a quote.
inline const ds::AliasTable &testAliases()
{
    static const ds::AliasTable table(ds::parseAliasTable(
        "# 测试用\n茯苓\t云苓、茯灵\n大黄\t川军、锦纹\n川贝母\t贝母\n浙贝母\t象贝、贝母\n巴豆'霜\t巴霜\n", "test"));
    return table;
}

// A fresh copy of the seed as the data file, with helpers that set the herb table and the
// dictionaries to exactly the rows a test names.
class BrowseData : public ::testing::Test {
protected:
    TempHome home;
    QString dataFile = home.installSeed();

    // Each row: up to eight values in column order; missing ones are a single space, an
    // invalid QVariant is Null.
    void setHerbs(const QList<QVariantList> &rows) const
    {
        ds::Database db = ds::openDataFile(dataFile);
        db.execute(QStringLiteral("DELETE * FROM 中医药材"));
        for (QVariantList row : rows) {
            while (row.size() < 8)
                row.append(QStringLiteral(" "));
            db.execute(QStringLiteral("INSERT INTO 中医药材 VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)"), row);
        }
    }

    void setDictionary(const QString &table, const QStringList &keywords) const
    {
        ds::Database db = ds::openDataFile(dataFile);
        db.execute(QStringLiteral("DELETE * FROM ") + table);
        for (const QString &keyword : keywords)
            db.execute(QStringLiteral("INSERT INTO %1 VALUES (?1)").arg(table), {keyword});
    }
};
