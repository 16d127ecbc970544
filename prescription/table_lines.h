#pragma once

#include "datastore/table_lines.h"

#include <QSet>
#include <QString>
#include <QStringList>

namespace rx {

using ds::TableLine;
using ds::tableLines;

// Throws ds::RunError "label:line: what".
[[noreturn]] void refuseLine(const TableLine &line, const QString &what);

// A name as the tables write it: not empty, without a space of any width or "。"; otherwise refused.
QString checkedName(const TableLine &line, const QString &name);

// The herbs of one column, separated by "、": each a checked name, not repeated unless allowed,
// and, given the shipped herbs' names (without "。"), one of them.
QStringList herbList(const TableLine &line, int column, const QSet<QString> *shippedHerbs,
                     bool repeatsAllowed = false);

} // namespace rx
