#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace formulas {

// One ingredient of a composition (方剂组成) text: "石膏50g（先煎）".
struct Ingredient {
    QString name;       // as written, without dose or note: "法夏", "芍药"
    QString amountText; // the dose's figure with ASCII digits and point ("9", "1.5"), or 适量/少许;
                        // empty when the text gives none
    double amount = 0;  // the figure of amountText; 0 for 适量/少许 or none
    QString unit;       // one of units(), 克 read as "g" and ml as 毫升; empty for a figure without a
                        // unit (grams, to the caller) and for no figure
    QString note;       // the dispensing note without brackets: "先煎", "打碎先煎"; empty for none
    qsizetype position = 0; // where the ingredient begins in the text read (UTF-16 index)
    qsizetype length = 0;   // the characters it spans there, a separate dose or note included

    bool hasFigure() const { return !amountText.isEmpty() && amountText[0].isDigit(); }
};

// A part of the text that is no ingredient: "柴胡12-15g", a lone "（先煎）" after a note.
struct UnreadFragment {
    QString text;
    qsizetype position = 0;
};

struct Composition {
    QList<Ingredient> ingredients; // in the order written
    QList<UnreadFragment> unread;  // in the order written; empty when every part was read
};

// Reads a composition as stored ("桂枝9g、芍药9g、炙甘草6g、生姜9g、大枣3枚。") and as doctors
// type or paste it:
// - items separated by 、，,；; or any space or line break, a final 。 or one between items;
// - an item is a name, then a dose: a figure (ASCII or full-width digits and point) with or
//   without one of units(), or 适量/少许; then a note in （） or () or one of noteWords();
// - a dose or note standing apart ("云苓 15g", "石膏30 先煎") belongs to the item before it when
//   that item has none;
// - "荆芥、防风各6g" gives each undosed item before the 各 (back to a dosed one) the same dose.
// Nothing is dropped: what cannot be read comes back in unread, whole item by whole item.
Composition parseComposition(const QString &text);

// The stored form of ingredients: name as written, figure and unit ("g" for none), note in （）,
// joined by 、 and ending in 。: "石膏50g（先煎）、知母18g。". No ingredient gives " ", a stored
// empty text. A screen stores this, never the typed text through the general stored-form rules,
// which drop the spaces that separate typed items ("云苓15 川军6").
QString writeComposition(const QList<Ingredient> &ingredients);

// A composition written elsewhere (another clinic's file) as it is stored: its one stored form
// when every part of it reads, else the text in the general stored form, so nothing is lost.
QString storedComposition(const QString &text);

// The units a dose may be written in, in stored form: g, 枚, 片, 个, 条, 毫升, 只, 粒, 茎, 寸.
const QStringList &units();

// The dispensing notes that may follow a dose without brackets: 先煎, 后下, 包煎, 烊化, 冲服, 另煎,
// 兑服, 研末冲服. In brackets any note is read.
const QStringList &noteWords();

} // namespace formulas
