#include "datastore/sql_text.h"

#include <QRegularExpression>

namespace ds {

QString sqlEscape(const QString &value)
{
    QString escaped = value;
    escaped.replace(QLatin1Char('\''), QLatin1String("''"));
    return escaped;
}

QString sqlQuoted(const QString &value)
{
    return QLatin1Char('\'') + sqlEscape(value) + QLatin1Char('\'');
}

QString sqlIdentifier(const QString &name)
{
    QString escaped = name;
    escaped.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

QString toEngineDialect(const QString &sql)
{
    static const QRegularExpression deleteStar(QStringLiteral("^(\\s*DELETE)\\s+\\*\\s+(FROM\\b)"),
                                               QRegularExpression::CaseInsensitiveOption);
    QString engine = sql;
    engine.replace(deleteStar, QStringLiteral("\\1 \\2"));
    return engine;
}

QString passwordFromConnect(const QString &connect)
{
    const QStringList parts = connect.split(QLatin1Char(';'));
    for (const QString &part : parts) {
        const QString trimmed = part.trimmed();
        if (trimmed.startsWith(QLatin1String("pwd="), Qt::CaseInsensitive))
            return trimmed.mid(4);
    }
    return {};
}

} // namespace ds
