#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace ds {
class Database;
}

namespace rx {

// How poisonous a herb's 性味 says it is, in the textbook's three grades.
enum class Toxicity { None, Slight, Toxic, Severe };

// 有大毒, 有毒 and 有小毒 as the 性味 text writes them ("辛，温；有小毒。").
Toxicity toxicityOf(const QString &nature);
// The grade's words: "有小毒", "有毒", "有大毒"; empty for None.
QString toxicityWord(Toxicity toxicity);

// What the prescription check reads of a herb's record.
struct HerbFacts {
    QString name; // without the final "。"
    Toxicity toxicity = Toxicity::None;
    QString usage;    // 用法
    QString cautions; // 宜忌 without its spaces at the ends; empty when the record has none
};

// The facts of the herbs of one data file, by name.
class HerbFactTable {
public:
    // A later row of the same name (a name stored with and without "。") is ignored.
    void add(const QString &name, const QString &nature, const QString &usage, const QString &cautions);
    // Every row of 中医药材.
    static HerbFactTable ofDataFile(ds::Database &db);
    void addRows(ds::Database &db);

    // By the name with or without the final "。"; nullptr for no such herb.
    const HerbFacts *find(const QString &name) const;
    const QList<HerbFacts> &all() const { return m_herbs; }
    QStringList names() const;

private:
    QList<HerbFacts> m_herbs;
    QHash<QString, qsizetype> m_index;
};

} // namespace rx
