#include "dictionaries/keyword_splitter.h"

namespace dict {

bool isKeywordSeparator(QChar c)
{
    switch (c.unicode()) {
    case 0x3002: // 。
    case 0xFF0C: // ，
    case 0xFF1B: // ；
    case 0x002A: // *
    case 0xFF1A: // ：
    case 0x3001: // 、
    case 0x6CBB: // 治
        return true;
    default:
        return false;
    }
}

QStringList splitKeywords(const QString &text)
{
    QStringList keywords;
    QString keyword;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c == QChar(0xFF08) || c == QLatin1Char('(')) {
            // The group is skipped up to and with its closing bracket; the keyword goes on after it.
            const QChar close = c == QLatin1Char('(') ? QLatin1Char(')') : QChar(0xFF09);
            while (i < n && text[i] != close)
                ++i;
            continue;
        }
        if (c == QLatin1Char(' '))
            continue;
        if (isKeywordSeparator(c)) {
            if (!keyword.isEmpty())
                keywords.append(keyword);
            keyword.clear();
            continue;
        }
        keyword.append(c);
    }
    return keywords;
}

} // namespace dict
