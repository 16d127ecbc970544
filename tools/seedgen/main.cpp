// Builds the seed data file from the checked-in schema, herb rows and formula rows, and checks
// the name tables the program carries against them:
//   ccherb-seedgen SCHEMA.sql OUTPUT.mdb DATA_FOLDER
// DATA_FOLDER holds herbs/*.tsv and formulas/*.tsv (each read in file name order), aliases.tsv,
// auxiliaries.tsv, processed_forms.tsv, formula_aliases.tsv and herb_readings.tsv. Herbs and formulas are stored
// in pinyin order of their names, the order a list that asks for none shows them in. The file
// is written beside OUTPUT and renamed over it once complete; a bad row or table line leaves no
// file and names its file and line.

#include "datastore/data_file.h"
#include "datastore/errors.h"
#include "datastore/herb_aliases.h"
#include "datastore/pinyin_collation.h"
#include "datastore/pinyin_initials.h"
#include "formulas/herb_names.h"
#include "formulas/name_tables.h"
#include "tools/seedgen/formula_rows.h"
#include "tools/seedgen/herb_rows.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <cstdio>

namespace {

QStringList schemaStatements(const QString &schema)
{
    QString withoutComments;
    for (const QString &line : schema.split(QLatin1Char('\n'))) {
        if (!line.trimmed().startsWith(QLatin1String("--")))
            withoutComments += line + QLatin1Char('\n');
    }
    QStringList statements;
    for (const QString &statement : withoutComments.split(QLatin1Char(';'))) {
        if (!statement.trimmed().isEmpty())
            statements.append(statement.trimmed());
    }
    return statements;
}

// The table files of a folder, in name order.
QStringList tableFiles(const QDir &data, const QString &folder)
{
    const QDir dir(data.filePath(folder));
    QStringList paths;
    for (const QString &name : dir.entryList({QStringLiteral("*.tsv")}, QDir::Files, QDir::Name))
        paths.append(dir.filePath(name));
    return paths;
}

QSet<QString> namesOf(const QList<QStringList> &rows)
{
    QSet<QString> names;
    for (const QStringList &row : rows)
        names.insert(ds::aliasKey(row[0]));
    return names;
}

void sortByPinyin(QList<QStringList> &rows)
{
    std::stable_sort(rows.begin(), rows.end(), [](const QStringList &a, const QStringList &b) {
        const QByteArray left = a[0].toUtf8();
        const QByteArray right = b[0].toUtf8();
        return ds::comparePinyin({left.constData(), size_t(left.size())}, {right.constData(), size_t(right.size())}) < 0;
    });
}

void insertRows(ds::Database &db, const QString &table, const QList<QStringList> &rows)
{
    for (const QStringList &row : rows) {
        QVariantList values(row.begin(), row.end());
        db.execute(QStringLiteral("INSERT INTO %1 VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)").arg(table), values);
    }
}

struct SeedRows {
    QList<QStringList> herbs;
    QList<QStringList> formulas;
};

// Every row and table, checked against each other.
SeedRows readChecked(const QDir &data)
{
    SeedRows rows;
    rows.herbs = seed::readHerbRows(tableFiles(data, QStringLiteral("herbs")));
    const QSet<QString> herbs = namesOf(rows.herbs);
    const QString aliasPath = data.filePath(QStringLiteral("aliases.tsv"));
    const QList<ds::AliasLine> aliasLines = ds::parseAliasTable(seed::readText(aliasPath), aliasPath, &herbs);
    const QSet<QString> taken = seed::herbNamesAndAliases(rows.herbs, aliasLines);
    const QString auxPath = data.filePath(QStringLiteral("auxiliaries.tsv"));
    const formulas::AuxiliaryTable auxiliaries(formulas::parseAuxiliaries(seed::readText(auxPath), auxPath, &taken));
    const QString formsPath = data.filePath(QStringLiteral("processed_forms.tsv"));
    formulas::parseProcessedForms(seed::readText(formsPath), formsPath, &herbs);
    const QString readingsPath = data.filePath(QStringLiteral("herb_readings.tsv"));
    ds::parseNameReadings(seed::readText(readingsPath), readingsPath);

    const ds::AliasTable aliases(aliasLines);
    QStringList herbNames;
    for (const QStringList &herb : rows.herbs)
        herbNames.append(herb[0]);
    rows.formulas = seed::readFormulaRows(tableFiles(data, QStringLiteral("formulas")),
                                          formulas::HerbNames(herbNames, aliases, auxiliaries));

    // Until the formula table is written, its short names can only be read, not checked.
    const QSet<QString> formulaNames = namesOf(rows.formulas);
    const QString formulaAliasPath = data.filePath(QStringLiteral("formula_aliases.tsv"));
    ds::parseAliasTable(seed::readText(formulaAliasPath), formulaAliasPath, rows.formulas.isEmpty() ? nullptr : &formulaNames);
    if (rows.formulas.isEmpty())
        std::fprintf(stderr, "seedgen: no formula rows; formula_aliases.tsv was not checked against them\n");
    return rows;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4) {
        std::fprintf(stderr, "usage: ccherb-seedgen SCHEMA.sql OUTPUT.mdb DATA_FOLDER\n");
        return 2;
    }
    const QString output = args[2];
    const QString partial = output + QStringLiteral(".partial");
    // A crashed earlier run may have left its half file and its journal; the engine would roll
    // that journal into the new file.
    QFile::remove(partial);
    QFile::remove(partial + QStringLiteral("-journal"));
    try {
        SeedRows rows = readChecked(QDir(args[3]));
        sortByPinyin(rows.herbs);
        sortByPinyin(rows.formulas);
        {
            ds::Database db = ds::Database::create(partial, ds::kDataFileConnect);
            ds::Transaction fill(db);
            for (const QString &statement : schemaStatements(seed::readText(args[1])))
                db.execute(statement);
            insertRows(db, QStringLiteral("中医药材"), rows.herbs);
            insertRows(db, QStringLiteral("中医方剂"), rows.formulas);
            fill.commit();
        }
        QFile::remove(output);
        if (!QFile::rename(partial, output))
            throw ds::RunError(ds::ErrorCode::CannotCopyFile, output);
    } catch (const ds::RunError &error) {
        QFile::remove(partial);
        std::fprintf(stderr, "seedgen: %d %s\n", error.number(), error.description().toUtf8().constData());
        return 1;
    }
    return 0;
}
