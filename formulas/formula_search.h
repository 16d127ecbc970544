#pragma once

#include "formulas/formula_index.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace ds {
class Database;
}

namespace formulas {

// The conditions of the formula search, as typed; an empty one does not limit the search.
struct FormulaConditions {
    QString name = {};    // a part, pinyin initials or a short name (formula_index.h)
    QString herbs = {};   // one or several herb names of any form, every one must be held
    QString words = {};   // one or several words, every one in the 功用 or the 主治
    QString chapter = {}; // a chapter as chapterOf gives it: 和解剂
};

struct FormulaFound {
    QList<FormulaRow> rows;    // in pinyin order of the names
    QStringList unknownHerbs;  // the typed herb names no herb, alias or 辅料 is called by
};

// The formulas every condition finds. Only bound values reach the SQL texts.
FormulaFound findFormulas(ds::Database &db, const FormulaConditions &conditions, const NameTables &tables = {});

// How many formulas hold the herb (as findFormulas' herbs condition finds them, processed forms
// included): the "含此药的方剂（N）" of a herb's record.
int formulasHolding(ds::Database &db, const QString &herb, const NameTables &tables = {});

// A typed list of names or words: separated by spaces, 、，,；; or +.
QStringList splitTypedList(const QString &typed);

// The chapters of the rows, each once: the textbook's twenty in its order, then the others
// (the clinic's 本院协定方 among them) in the order met; no empty chapter.
QStringList chaptersOf(const QList<FormulaRow> &rows);

// The herb's own name as the formula screen's herbs condition takes it: without the final "。".
inline QString herbCondition(const QString &storedName)
{
    return ds::aliasKey(storedName);
}

} // namespace formulas
