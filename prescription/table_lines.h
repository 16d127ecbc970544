#pragma once

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

namespace rx {

// One data line of a shipped table: where it stands, for messages, and its columns.
struct TableLine {
    QString where; // "label:line"
    int line = 0;  // counted from 1
    QStringList columns;
};

// The data lines of a tab-separated table: lines beginning with "#" and blank lines are skipped,
// a final "\r" is dropped.
QList<TableLine> tableLines(const QString &text, const QString &label);

// Throws ds::RunError "label:line: what".
[[noreturn]] void refuseLine(const TableLine &line, const QString &what);

// A name as the tables write it: not empty, without a space of any width or "。"; otherwise refused.
QString checkedName(const TableLine &line, const QString &name);

// The herbs of one column, separated by "、": each a checked name, not repeated unless allowed,
// and, given the shipped herbs' names (without "。"), one of them.
QStringList herbList(const TableLine &line, int column, const QSet<QString> *shippedHerbs,
                     bool repeatsAllowed = false);

} // namespace rx
