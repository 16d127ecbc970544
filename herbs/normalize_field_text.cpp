#include "herbs/normalize_field_text.h"

#include "datastore/engine_text.h"
#include "herbs/herb_record.h"

namespace herbs {
namespace {

const QChar kFullStop(0x3002);    // 。
const QChar kBookTitle(0x300A);   // 《
const QChar kEnumComma(0x3001);   // 、
const QChar kWideComma(0xFF0C);   // ，
const QChar kWideSemicolon(0xFF1B); // ；

// A point between two digits is a decimal point. Full-width digits are digits too: a clinic
// typing １.５ means one and a half just as much as with ASCII digits.
bool isDigit(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c.unicode() >= 0xFF10 && c.unicode() <= 0xFF19);
}

} // namespace

QString NormalizeFieldText(const QString &typed)
{
    // Half a character pasted in alone is stored as U+FFFD; the stored form says so.
    const QString text = ds::wellFormedText(typed);
    // Spaces and lone line feeds go first, so that the rules below see the neighbours that
    // stay: the result is then a fixed point, and normalising a stored text changes nothing.
    QString t;
    t.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char(' '))
            continue;
        if (c == QLatin1Char('\n') && (i == 0 || text[i - 1] != QLatin1Char('\r')))
            continue; // a lone LF is dropped; the LF of CR LF stays
        t.append(c);
    }
    // Line breaks at the very start are dropped whole.
    qsizetype first = 0;
    while (t.mid(first, 2) == QLatin1String("\r\n"))
        first += 2;
    t.remove(0, first);

    const qsizetype n = t.size();
    auto at = [&](qsizetype i) { return i >= 0 && i < n ? t[i] : QChar(); };
    QString result;
    result.reserve(n + 1);
    for (qsizetype i = 0; i < n; ++i) {
        QChar c = t[i];
        const QChar next = at(i + 1);
        if (c == QLatin1Char('\\'))
            c = kEnumComma;
        else if (c == QLatin1Char(','))
            c = kWideComma;
        else if (c == QLatin1Char(';'))
            c = kWideSemicolon;
        if (c == QLatin1Char('.') && next != kBookTitle)
            c = kFullStop;
        if (c == kFullStop && i > 0) {
            if (isDigit(at(i - 1)) && isDigit(next))
                c = QLatin1Char('.');
            if (next == kBookTitle)
                c = QLatin1Char('.');
        }
        result.append(c);
    }
    if (result.isEmpty())
        return QStringLiteral(" ");
    if (!result.endsWith(kFullStop))
        result.append(kFullStop);
    return result;
}

} // namespace herbs
