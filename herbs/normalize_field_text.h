#pragma once

#include <QString>

namespace herbs {

// The stored form of one herb text: no ASCII spaces, full-width punctuation, a final "。",
// and a single space for a text with nothing in it; a lone surrogate becomes U+FFFD. Never fails,
// never returns the empty text.
QString NormalizeFieldText(const QString &text);

} // namespace herbs
