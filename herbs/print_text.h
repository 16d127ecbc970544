#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

namespace herbs {

// The eight field texts in column order: 名称, 归经, 性味, 功效, 主治, 用法, 宜忌, 心得.
// True when 名称, 功效, 主治 and 用法 are all non-empty after trimming spaces.
bool printFieldsComplete(const QStringList &fields);

// The text handed to the word processor for one herb, dated today.
QString buildPrintText(const QStringList &fields, const QDate &today);

} // namespace herbs
