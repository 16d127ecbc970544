#pragma once

#include "formulas/herb_names.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace seed {

// The formula rows of the seed file, read as appendRows reads them (stored form, eight
// columns, no name twice), and each composition checked as the program will read it: every
// item read and dosed, in the one stored form writeComposition gives, and named by a shipped
// herb, alias or 辅料, no name twice. A refusal names file, line,
// formula and word.
void appendFormulaRows(const QString &fileName, const QString &text, QList<QStringList> &rows,
                       QHash<QString, QString> &seenAt, const formulas::HerbNames &names);
QList<QStringList> readFormulaRows(const QStringList &paths, const formulas::HerbNames &names);

// The herbs' names without "。" and every alias: what a 辅料 must not be named.
QSet<QString> herbNamesAndAliases(const QList<QStringList> &herbs, const QList<ds::AliasLine> &aliases);

} // namespace seed
