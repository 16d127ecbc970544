#pragma once

#include <QString>

namespace herbs {

// The length of the text in bytes of code page 936 (GBK), as the typing limits of the entry
// screen count it: a Chinese character two, an ASCII character one. A character the code page
// cannot hold counts as the one substitute byte it would be written as.
int gbkByteCount(const QString &text);

// The longest beginning of the text, cut between whole characters, that takes at most
// `room` bytes of code page 936.
QString clipToGbkBytes(const QString &text, int room);

} // namespace herbs
