#pragma once

#include <QList>
#include <QSet>
#include <QString>

namespace rx {

// 禁用 (not to be given in pregnancy) and 慎用 (given only with care).
enum class PregnancyLevel { Forbidden, Caution };

// The level's word, as the table and a finding write it.
QString levelWord(PregnancyLevel level);

struct PregnancyEntry {
    int line = 0;
    QString herb;
    PregnancyLevel level = PregnancyLevel::Forbidden;
};

// Reads data/pregnancy.tsv: the herb, a tab, "禁用" or "慎用". Another column count or word, or
// a herb twice, throws ds::RunError naming label and line; given the shipped herbs' names
// (without "。"), so does a herb that is none of them.
QList<PregnancyEntry> parsePregnancyTable(const QString &text, const QString &label,
                                          const QSet<QString> *shippedHerbs = nullptr);

} // namespace rx
