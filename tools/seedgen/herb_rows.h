#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace seed {

// The tables of the seed file that are filled from text files.
enum class Table { Herbs, Formulas };

// The rows of one table of the seed file, read from tab-separated files: eight texts a line,
// "#" lines and blank lines skipped, "\n" inside a text standing for a line break. Every text
// must already be in stored form, every name unique across all files; otherwise ds::RunError
// names the file and line, so a bad row stops the build instead of shipping. seenAt gives each
// name the "file:line" it was read at.
void appendRows(Table table, const QString &fileName, const QString &text, QList<QStringList> &rows,
                QHash<QString, QString> &seenAt);
QList<QStringList> readRows(Table table, const QStringList &paths, QHash<QString, QString> &seenAt);

// The herb table's rows.
QList<QStringList> readHerbRows(const QStringList &paths);
void appendHerbRows(const QString &fileName, const QString &text, QList<QStringList> &rows,
                    QHash<QString, QString> &seenAt);

// The text of a file; ds::RunError when it cannot be read.
QString readText(const QString &path);

} // namespace seed
