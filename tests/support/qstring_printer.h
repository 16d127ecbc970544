#pragma once

#include <QString>
#include <QStringList>

#include <ostream>

// Failure messages show texts as text, not as lists of code units.
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << QString(text).replace("\r", "\\r").replace("\n", "\\n").toStdString() << '"';
}

inline void PrintTo(const QStringList &texts, std::ostream *out)
{
    *out << '{';
    for (const QString &text : texts) {
        PrintTo(text, out);
        *out << ' ';
    }
    *out << '}';
}
