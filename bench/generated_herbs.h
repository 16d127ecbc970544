#pragma once

// Herb tables of any size with texts shaped like the clinic's: 功效 and 主治 of 4 to 12
// keywords joined by "，" and ending in "。"; 归经 and 性味 short and drawn from a few dozen
// values, as real ones are; 用法, 宜忌 and 心得 20 to 200 characters; every name unique and in
// its stored form. The same count and seed always give the same herbs.

#include "datastore/herb_aliases.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace bench {

// Replaces the herb table of the data file by count generated herbs (one transaction).
void generateHerbs(const QString &dataFile, int count, quint32 seed = 2026);

// The keywords the generated 功效 and 主治 texts are made of, and the name of herb number i
// (from 0), so a benchmark can search for what is there.
QStringList efficacyKeywords();
QStringList indicationKeywords();
QString generatedHerbName(int index);

// An alias table of count aliases over the generated herbs 0 to herbs - 1, each herb in turn,
// every alias two or three of the characters names are made of, as real aliases are.
ds::AliasTable generatedAliases(int herbs, int count, quint32 seed = 2026);
// The same aliases as the lines of an alias table, to be read together with other lines.
QList<ds::AliasLine> generatedAliasLines(int herbs, int count, quint32 seed = 2026);

// A temporary copy of the seed file whose herb table holds count generated herbs; the folder
// goes away with the object.
class GeneratedDataFile {
public:
    explicit GeneratedDataFile(int count, quint32 seed = 2026);
    GeneratedDataFile(const GeneratedDataFile &) = delete;
    GeneratedDataFile &operator=(const GeneratedDataFile &) = delete;

    const QString &path() const { return m_path; }
    int count() const { return m_count; }
    // A fresh copy beside it under another name, for benchmarks that write.
    QString copy(const QString &name) const;

    // One generated file per count for the whole benchmark run (made at first use); for
    // benchmarks that only read, or that rebuild what they write.
    static const GeneratedDataFile &shared(int count);

private:
    QTemporaryDir m_dir;
    QString m_path;
    int m_count;
};

} // namespace bench
