// Builds the seed data file from the checked-in schema and herb rows, and checks the alias
// table the program carries against those herbs:
//   ccherb-seedgen SCHEMA.sql OUTPUT.mdb ALIASES.tsv HERBS.tsv...
// The herb files are read in name order; the rows are stored in pinyin order of their names,
// the order a list that asks for none shows them in. The file is written beside OUTPUT and
// renamed over it once complete; a bad herb row or alias line leaves no file and names its
// file and line.

#include "datastore/data_file.h"
#include "datastore/errors.h"
#include "datastore/herb_aliases.h"
#include "datastore/pinyin_collation.h"
#include "tools/seedgen/herb_rows.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <algorithm>
#include <cstdio>

namespace {

QString readText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw ds::RunError(ds::ErrorCode::FileNotFound, path);
    return QString::fromUtf8(file.readAll());
}

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

// Refuses an alias line that does not fit the herbs shipped.
void checkAliases(const QString &path, const QList<QStringList> &herbs)
{
    QSet<QString> names;
    for (const QStringList &herb : herbs)
        names.insert(ds::aliasKey(herb[0]));
    ds::parseAliasTable(readText(path), path, &names);
}

void sortByPinyin(QList<QStringList> &herbs)
{
    std::stable_sort(herbs.begin(), herbs.end(), [](const QStringList &a, const QStringList &b) {
        const QByteArray left = a[0].toUtf8();
        const QByteArray right = b[0].toUtf8();
        return ds::comparePinyin({left.constData(), size_t(left.size())}, {right.constData(), size_t(right.size())}) < 0;
    });
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 5) {
        std::fprintf(stderr, "usage: ccherb-seedgen SCHEMA.sql OUTPUT.mdb ALIASES.tsv HERBS.tsv...\n");
        return 2;
    }
    const QString output = args[2];
    QStringList herbFiles = args.mid(4);
    std::sort(herbFiles.begin(), herbFiles.end(), [](const QString &a, const QString &b) {
        return QFileInfo(a).fileName() < QFileInfo(b).fileName();
    });
    const QString partial = output + QStringLiteral(".partial");
    // A crashed earlier run may have left its half file and its journal; the engine would roll
    // that journal into the new file.
    QFile::remove(partial);
    QFile::remove(partial + QStringLiteral("-journal"));
    try {
        QList<QStringList> herbs = seed::readHerbRows(herbFiles);
        checkAliases(args[3], herbs);
        sortByPinyin(herbs);
        {
            ds::Database db = ds::Database::create(partial, ds::kDataFileConnect);
            ds::Transaction fill(db);
            for (const QString &statement : schemaStatements(readText(args[1])))
                db.execute(statement);
            for (const QStringList &herb : herbs) {
                QVariantList values(herb.begin(), herb.end());
                db.execute(QStringLiteral("INSERT INTO 中医药材 VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)"), values);
            }
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
