#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace ds {

// One data line of a table the program or its seed build reads (herb and formula rows, aliases,
// the prescription tables): where it stands, for messages, and its text.
struct TableLine {
    QString where; // "label:number"
    int number = 0; // counted from 1
    QString text;   // without the line end
    QStringList columns; // the text split at its tabs
};

// The data lines of a tab-separated table text: lines beginning with "#" and blank lines are
// skipped, a final "\r" is dropped.
QList<TableLine> tableLines(const QString &text, const QString &label);

} // namespace ds
