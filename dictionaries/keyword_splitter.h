#pragma once

#include <QString>
#include <QStringList>

namespace dict {

// The keywords of one efficacy or indication text, in text order. A keyword lies between two
// separators ("。" "，" "；" "*" "：" "、" and "治"), or between the start and a separator; ASCII
// spaces and bracketed groups "(...)" and "（...）" are left out of it, line breaks and
// full-width spaces stay in it. Only a separator closes a keyword: a text that does not end in
// one loses its last keyword, and an unclosed bracket hides the rest of the text.
QStringList splitKeywords(const QString &text);

// True for the seven characters that end a keyword.
bool isKeywordSeparator(QChar c);

} // namespace dict
