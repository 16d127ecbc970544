#include "datastore/engine_text.h"

#include <QStringDecoder>

namespace ds {

QString wellFormedText(const QString &text)
{
    // Read through the shared text; a copy is made only when a lone surrogate must go.
    QString result = text;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < n && text.at(i + 1).isLowSurrogate())
            ++i; // a whole pair
        else if (c.isSurrogate())
            result[i] = QChar::ReplacementCharacter;
    }
    return result;
}

QByteArray toEngineText(const QString &text)
{
    // Qt writes a lone surrogate as "?", a pattern character of the file's queries.
    return wellFormedText(text).toUtf8();
}

QString fromEngineText(const char *utf8, qsizetype bytes)
{
    // QString::fromUtf8 drops a leading byte order mark: a name stored with one would list
    // without it and never be found by the name it lists under.
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    return decoder.decode(QByteArrayView(utf8, bytes));
}

} // namespace ds
