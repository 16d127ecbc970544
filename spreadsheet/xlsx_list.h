#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace sheet {

// A list as a clinic keeps and shares it: one row a record, the columns named.
struct ListSheet {
    QString name;            // the worksheet's tab
    QStringList columns;     // the header row
    QList<double> widths;    // each column's width in characters; missing ones take a default
    QList<QStringList> rows; // the records' texts, column by column
};

enum class WriteResult { Written, CannotWrite, TextTooLong };

// Writes the list as an Excel workbook (.xlsx): a header row that stays in view while scrolling
// and filters the rows, the widths given, long texts wrapped. The file is made beside the target
// and renamed over it only once complete, so a failure leaves whatever was there before.
WriteResult writeXlsx(const ListSheet &list, const QString &path);

// What the screens tell of a write: what was saved where, or why nothing was. what names the
// rows written: "12 首方剂".
QString writeMessage(WriteResult result, const QString &path, const QString &what);

// The longest text one cell holds.
inline constexpr int kMaxCellText = 32767;

} // namespace sheet
