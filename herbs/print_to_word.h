#pragma once

#include <QString>

namespace herbs {

// Hands the text to the word processor in a new document set in 宋体 11 pt, not bold, and
// leaves it on the clipboard. Reports its own failure (error box) and always returns.
void PrintToWord(const QString &text);

} // namespace herbs
