#include "maintenance/import_source.h"

#include "datastore/database.h"
#include "datastore/errors.h"
#include "datastore/sql_text.h"
#include "datastore/statement.h"
#include "formulas/composition.h"
#include "herbs/normalize_field_text.h"

namespace maint {
namespace {

// Where the rows of a kind are found in a source file. The family's prescriptions have no
// seventh text (方剂备注): a single space stands for it.
struct SourceLayout {
    QString table;
    QStringList columns;
    bool spaceAsSeventh = false;
};

const SourceLayout &familyLayout(ImportKind kind)
{
    static const SourceLayout herbs{QStringLiteral("zyyc"),
                                    {QStringLiteral("ycmc"), QStringLiteral("ycgj"), QStringLiteral("ycxw"),
                                     QStringLiteral("ycgy"), QStringLiteral("yczz"), QStringLiteral("ycyf"),
                                     QStringLiteral("ycyj"), QStringLiteral("ycxd")}};
    static const SourceLayout prescriptions{QStringLiteral("zyfj"),
                                            {QStringLiteral("fjmc"), QStringLiteral("fjgc"), QStringLiteral("fjgy"),
                                             QStringLiteral("fjzz"), QStringLiteral("fjyf"), QStringLiteral("fjly"),
                                             QStringLiteral("fjxd")},
                                            true};
    return kind == ImportKind::Herbs ? herbs : prescriptions;
}

SourceLayout ownLayout(ImportKind kind)
{
    return {kindName(kind), fieldNames(kind)};
}

// The column names of a table, lower-cased (the engine matches them so); none when there is no
// such table.
QStringList columnsOf(ds::Database &db, const QString &table)
{
    QStringList names;
    ds::Statement info(db.handle(), QStringLiteral("PRAGMA table_info(%1)").arg(ds::sqlIdentifier(table)));
    while (info.step())
        names.append(info.value(1).toString().toLower());
    return names;
}

// The column of the kind's table a source column fills, by its position in the layout.
int targetField(const SourceLayout &layout, int column)
{
    return layout.spaceAsSeventh && column >= 6 ? column + 1 : column;
}

// A column in the words of the screens: its Chinese name.
QString columnLabel(ImportKind kind, const SourceLayout &layout, int column)
{
    return QStringLiteral("“%1”").arg(fieldNames(kind)[targetField(layout, column)]);
}

// A column the source lacks: its Chinese name, and the source's own when it differs.
QString missingColumnLabel(ImportKind kind, const SourceLayout &layout, int column)
{
    const QString &name = layout.columns[column];
    const QString label = columnLabel(kind, layout, column);
    return name == fieldNames(kind)[targetField(layout, column)] ? label : QStringLiteral("%1（%2）").arg(label, name);
}

SourceLayout layoutOf(ds::Database &db, ImportKind kind, QStringList &present)
{
    for (const SourceLayout &layout : {familyLayout(kind), ownLayout(kind)}) {
        present = columnsOf(db, layout.table);
        if (!present.isEmpty())
            return layout;
    }
    throw ds::RunError(ds::ErrorCode::ObjectNotFound, QStringLiteral("源文件中没有%1数据（找不到表 %2 或 %3）。")
                                                          .arg(kindName(kind), familyLayout(kind).table, kindName(kind)));
}

void checkColumns(ImportKind kind, const SourceLayout &layout, const QStringList &present)
{
    QStringList missing;
    for (int column = 0; column < layout.columns.size(); ++column) {
        if (!present.contains(layout.columns[column].toLower()))
            missing.append(missingColumnLabel(kind, layout, column));
    }
    if (!missing.isEmpty())
        throw ds::RunError(ds::ErrorCode::ObjectNotFound,
                           QStringLiteral("源文件的表“%1”中没有%2这%3列，不能导入，没有导入任何记录。")
                               .arg(layout.table, missing.join(QStringLiteral("、")),
                                    missing.size() == 1 ? QStringLiteral("一") : QStringLiteral("几")));
}

[[noreturn]] void throwUnfit(ds::ErrorCode code, int line, const QString &name, const QString &what)
{
    const QString row = name.isEmpty() ? QStringLiteral("第 %1 行").arg(line) : QStringLiteral("第 %1 行（“%2”）").arg(line).arg(name);
    throw ds::RunError(code, QStringLiteral("源文件%1的%2，不能导入，没有导入任何记录。").arg(row, what));
}

// A name of nothing but spaces and a full stop names no record.
bool isBlankName(const QString &storedName)
{
    return storedName == QLatin1String(" ") || storedName == QStringLiteral("。");
}

QString selectText(const SourceLayout &layout)
{
    QStringList columns;
    for (const QString &column : layout.columns)
        columns.append(ds::sqlIdentifier(column));
    return QStringLiteral("SELECT %1 FROM %2").arg(columns.join(QLatin1Char(',')), ds::sqlIdentifier(layout.table));
}

} // namespace

QList<SourceRow> readSourceRows(ds::Database &source, ImportKind kind, const std::function<void(int)> &rowRead)
{
    QStringList present;
    const SourceLayout layout = layoutOf(source, kind, present);
    checkColumns(kind, layout, present);

    QList<SourceRow> rows;
    ds::Statement select(source.handle(), selectText(layout));
    const int columns = int(layout.columns.size());
    while (select.step()) {
        SourceRow row;
        row.line = int(rows.size()) + 1;
        row.texts.reserve(8);
        for (int column = 0; column < columns; ++column) {
            const QVariant value = select.value(column);
            if (value.isNull())
                throwUnfit(ds::ErrorCode::InvalidUseOfNull, row.line, column == 0 ? QString() : row.texts.value(0),
                           columnLabel(kind, layout, column) + QStringLiteral("是空值"));
            if (layout.spaceAsSeventh && column == 6)
                row.texts.append(QString()); // a text the source does not have
            row.texts.append(value.toString());
        }
        // The name as the source has it names the row in a message; stored form from here on.
        if (isBlankName(herbs::NormalizeFieldText(row.texts[0])))
            throwUnfit(ds::ErrorCode::RequiredValueMissing, row.line, QString(),
                       columnLabel(kind, layout, 0) + QStringLiteral("是空的"));
        for (qsizetype field = 0; field < row.texts.size(); ++field) {
            QString &text = row.texts[field];
            if (kind == ImportKind::Prescriptions && field == 1)
                text = formulas::storedComposition(text); // read as the screens store it: 云苓 15g
            else if (!text.isNull())
                text = herbs::NormalizeFieldText(text);
        }
        rows.append(std::move(row));
        if (rowRead)
            rowRead(int(rows.size()));
    }
    return rows;
}

} // namespace maint
