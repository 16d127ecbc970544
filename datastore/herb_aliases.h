#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <vector>

namespace ds {

// One herb of the alias table: its name as stored without the final "。", and the other names
// prescriptions and books write for it.
struct AliasLine {
    int line = 0; // counted from 1
    QString herb;
    QStringList aliases;
};

// Reads the alias table: one herb a line, its name, a tab and its aliases separated by "、";
// lines beginning with "#" and blank lines are skipped. A line without a tab or alias, an
// empty text, a text holding a space or "。", or an alias repeated on its line throws
// RunError naming label and line. Given the shipped herbs' names (without "。"), it also
// refuses a herb that is not one of them and an alias that is.
QList<AliasLine> parseAliasTable(const QString &text, const QString &label,
                                 const QSet<QString> *shippedHerbs = nullptr);

// What a typed or stored name is looked up by: without its spaces and its final "。".
QString aliasKey(const QString &name);

// The herbs each alias names, and the aliases of each herb.
class AliasTable {
public:
    AliasTable() = default;
    explicit AliasTable(const QList<AliasLine> &lines);

    // The herbs named exactly by this name (two for 贝母), in the table's order.
    QStringList herbsNamedBy(const QString &name) const;
    // The aliases of a herb, by its stored or typed name.
    QStringList aliasesOf(const QString &herbName) const;
    // The herbs one of whose aliases the typed name condition matches from the alias's start:
    // the typed text followed by any text under the file's like rules, or, for ASCII letters,
    // the start of its pinyin initials (锦 and jw find 大黄 by 锦纹; 纹 finds nothing). A whole
    // name the table knows, a herb's or an alias, stands for itself alone: 苦参 is not the start
    // of 苦参子 (鸦胆子), nor 生地 (地黄) of 生地榆 (地榆).
    QStringList herbsMatching(const QString &typedName) const;
    // The first alias of the herb by which herbsMatching finds it; empty when it finds it by none.
    QString aliasMatching(const QString &herbName, const QString &typedName) const;

private:
    class Matcher;
    bool isWholeName(const QString &key) const;

    struct Alias {
        QByteArray text; // UTF-8, as the like rules read it
        QByteArray initials;
        int herb;
    };
    QStringList m_herbs;
    QList<QStringList> m_aliasesOfHerb;
    QHash<QString, int> m_herbIndex;
    QHash<QString, QList<int>> m_herbsOfAlias;
    std::vector<Alias> m_aliases;
};

// The table the program carries in its resources, read at first use.
const AliasTable &shippedAliases();

} // namespace ds
