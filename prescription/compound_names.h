#pragma once

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

namespace rx {

// One herb of a compound name: as the prescription line writes it (焦山楂) and the herb it is (山楂).
struct CompoundPart {
    QString written;
    QString herb;
};

// A name a pharmacy knows for two or more herbs together (焦三仙, 二冬, 龙牡). A dose written
// after it is the total, shared equally among the parts; written with "各" it is each part's.
// Parts that are the same herb (二丑: 黑丑 and 白丑) are one herb whose doses add up.
struct CompoundName {
    int line = 0;
    QStringList names;
    QList<CompoundPart> parts;
};

// Reads data/compound_names.tsv: the names separated by "、", a tab, the herbs separated by "、",
// and optionally a tab and how each herb is written, in the same order (the herb's own name when
// left out). Fewer than two parts, a count of written forms unlike the herbs', or a name on two
// lines throws ds::RunError naming label and line; given the shipped herbs' names (without "。"),
// so does a herb that is none of them and a compound name that is one of them.
QList<CompoundName> parseCompoundNames(const QString &text, const QString &label,
                                       const QSet<QString> *shippedHerbs = nullptr);

} // namespace rx
