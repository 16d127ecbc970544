#include "datastore/table_lines.h"

namespace ds {

QList<TableLine> tableLines(const QString &text, const QString &label)
{
    QList<TableLine> lines;
    const QStringList all = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < all.size(); ++i) {
        QString line = all[i];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const int number = int(i + 1);
        lines.append({label + QLatin1Char(':') + QString::number(number), number, line, line.split(QLatin1Char('\t'))});
    }
    return lines;
}

} // namespace ds
