#pragma once

#include "formulas/formula_index.h"
#include "formulas/formula_table.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace ds {
class Database;
}

namespace formulas {

// One line of a composition as the formula's page lists it.
struct CompositionLine {
    QString name;      // as written: 云苓
    QString dose;      // 15g, 3枚, 适量; empty when none is written
    QString note;      // 先煎
    NameKind kind = NameKind::Unknown;
    QStringList herbs; // the herbs of the data file it stands for (茯苓), each a link on the page
};

// The lines of a stored composition, each name resolved against the herbs of the data file it
// could stand for (read by name, not the whole herb table); a part that cannot be read is a
// line of its own with no dose.
QList<CompositionLine> compositionLines(ds::Database &db, const QString &composition, const NameTables &tables = {});

// The page of a formula: its name as the title, the composition as a table of herb, dose and
// note, then 功用, 主治, 用法, 来源, 分类 (方剂备注) and 心得. On screen each herb is a link to
// herbLink(herb) and every text is shown; on paper a text with nothing in it is left out.
QString formulaPage(const FormulaRecord &record, const QList<CompositionLine> &lines, bool onScreen);

// The link of a herb on the page, and the herb a link names, given fully encoded (empty for
// another link).
QString herbLink(const QString &herb);
QString herbOfLink(const QString &link);

} // namespace formulas
