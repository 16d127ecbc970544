#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace seed {

// The herb rows of the seed file, read from tab-separated files: eight texts a line, "#" lines
// and blank lines skipped, "\n" inside a text standing for a line break. Every text must already
// be in stored form, every name unique across all files; otherwise ds::RunError names the file
// and line, so a bad row stops the build instead of shipping.
QList<QStringList> readHerbRows(const QStringList &paths);

// The same for rows already in memory; fileName only labels the messages.
void appendHerbRows(const QString &fileName, const QString &text, QList<QStringList> &rows,
                    QHash<QString, QString> &seenAt);

} // namespace seed
