#include "tools/seedgen/herb_rows.h"

#include "datastore/errors.h"
#include "datastore/table_lines.h"
#include "herbs/normalize_field_text.h"

#include <QFile>
#include <QHash>

namespace seed {
namespace {

const char *const kHerbColumns[] = {"名称", "归经", "性味", "功效", "主治", "用法", "宜忌", "心得"};
const char *const kFormulaColumns[] = {"方剂名称", "方剂组成", "方剂功用", "方剂主治",
                                       "方剂用法", "方剂来源", "方剂备注", "方剂心得"};

[[noreturn]] void refuse(const QString &where, const QString &what)
{
    throw ds::RunError(ds::ErrorCode::SyntaxError, where + QStringLiteral(": ") + what);
}

} // namespace

void appendRows(Table table, const QString &fileName, const QString &text, QList<QStringList> &rows,
                QHash<QString, QString> &seenAt)
{
    const char *const *columns = table == Table::Herbs ? kHerbColumns : kFormulaColumns;
    const QString row = table == Table::Herbs ? QStringLiteral("a herb row") : QStringLiteral("a formula row");
    for (const ds::TableLine &line : ds::tableLines(text, fileName)) {
        const QString &where = line.where;
        QStringList fields = line.columns;
        if (fields.size() != 8)
            refuse(where, QStringLiteral("%1 columns, %2 needs 8").arg(fields.size()).arg(row));
        for (int column = 0; column < 8; ++column) {
            QString &field = fields[column];
            field.replace(QLatin1String("\\n"), QLatin1String("\r\n"));
            const QString stored = herbs::NormalizeFieldText(field);
            if (stored != field)
                refuse(where, QStringLiteral("%1 \"%2\" is not in stored form; stored it reads \"%3\"")
                                  .arg(QString::fromUtf8(columns[column]), field, stored));
        }
        const auto seen = seenAt.constFind(fields[0]);
        if (seen != seenAt.cend())
            refuse(where, QStringLiteral("duplicate name %1, first at %2").arg(fields[0], *seen));
        seenAt.insert(fields[0], where);
        rows.append(fields);
    }
}

QString readText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw ds::RunError(ds::ErrorCode::FileNotFound, path);
    return QString::fromUtf8(file.readAll());
}

QList<QStringList> readRows(Table table, const QStringList &paths, QHash<QString, QString> &seenAt)
{
    QList<QStringList> rows;
    for (const QString &path : paths)
        appendRows(table, path, readText(path), rows, seenAt);
    return rows;
}

void appendHerbRows(const QString &fileName, const QString &text, QList<QStringList> &rows,
                    QHash<QString, QString> &seenAt)
{
    appendRows(Table::Herbs, fileName, text, rows, seenAt);
}

QList<QStringList> readHerbRows(const QStringList &paths)
{
    QHash<QString, QString> seenAt;
    return readRows(Table::Herbs, paths, seenAt);
}

} // namespace seed
