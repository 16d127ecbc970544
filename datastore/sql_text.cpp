#include "datastore/sql_text.h"

#include <QRegularExpression>

namespace ds {

QString sqlEscape(const QString &value)
{
    QString escaped = value;
    escaped.replace(QLatin1Char('\''), QLatin1String("''"));
    // The engine reads a statement's text only up to a NUL: one pasted into a value would cut
    // the statement short. It is joined in as char(0) instead, and the value stays whole.
    escaped.replace(QChar(0), QLatin1String("'||char(0)||'"));
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

bool isSelectText(const QString &sql)
{
    qsizetype i = 0;
    const qsizetype n = sql.size();
    while (i < n) {
        if (sql[i].isSpace()) {
            ++i;
        } else if (sql.mid(i, 2) == QLatin1String("--")) {
            const qsizetype end = sql.indexOf(QLatin1Char('\n'), i);
            i = end < 0 ? n : end + 1;
        } else if (sql.mid(i, 2) == QLatin1String("/*")) {
            const qsizetype end = sql.indexOf(QLatin1String("*/"), i + 2);
            i = end < 0 ? n : end + 2;
        } else {
            break;
        }
    }
    const qsizetype after = i + 6;
    return sql.mid(i, 6).compare(QLatin1String("SELECT"), Qt::CaseInsensitive) == 0
           && (after >= n || !(sql[after].isLetterOrNumber() || sql[after] == QLatin1Char('_')));
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
