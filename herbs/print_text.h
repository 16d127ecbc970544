#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

namespace herbs {

// The eight field texts in column order: 名称, 归经, 性味, 功效, 主治, 用法, 宜忌, 心得.
// True when 名称, 功效, 主治 and 用法 are all non-empty after trimming spaces.
bool printFieldsComplete(const QStringList &fields);

// The text handed to the word processor for one herb, dated today: one labelled line per
// field (性味 before 归经), an empty line and the date, lines joined by CR LF with none after
// the last. A value that holds line breaks continues over several CR LF lines.
QString buildPrintText(const QStringList &fields, const QDate &today);

// The page the program's own print preview prints when the word processor cannot take the text:
// the clinic's name centred at the top (none when it is empty), then the text line by line as it
// stands, its spaces kept.
QString printPageHtml(const QString &clinic, const QString &text);

// The lines of a text, split at CR LF, CR, LF and the Unicode line and paragraph separators.
QStringList printLines(const QString &text);

} // namespace herbs
