#pragma once

#include <QByteArray>
#include <QString>

namespace ds {

// The text with each lone surrogate (half of a pair, pasted in alone) replaced by U+FFFD: the
// file holds UTF-8, which has no form for half a character.
QString wellFormedText(const QString &text);

// Texts as the engine takes and gives them. A text goes in whole and comes back exactly as it
// went in: a leading U+FEFF stays part of it, and a lone surrogate is U+FFFD both ways.
QByteArray toEngineText(const QString &text);
QString fromEngineText(const char *utf8, qsizetype bytes);

} // namespace ds
