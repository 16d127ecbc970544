#pragma once

#include "datastore/herb_aliases.h"
#include "formulas/herb_names.h"
#include "formulas/name_tables.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

namespace ds {
class Database;
}

namespace formulas {

// The tables names are resolved by: the shipped ones, unless a caller (a benchmark over
// generated herbs) gives its own. They must outlive every index made with them.
struct NameTables {
    const ds::AliasTable *herbAliases = &ds::shippedAliases();
    const AuxiliaryTable *auxiliaries = &shippedAuxiliaries();
    const ProcessedForms *processedForms = &shippedProcessedForms();
    const ds::AliasTable *formulaAliases = &shippedFormulaAliases();
    bool operator==(const NameTables &) const = default;
};

// A formula as the result list shows it.
struct FormulaRow {
    qint64 rowId = 0;
    QString name;    // as stored: "小柴胡汤。"
    QString chapter; // chapterOf its 方剂备注: "和解剂"
    QString source;  // 方剂来源 as stored
};

// Which rows of the index a condition leaves: one flag a row, in the index's order.
using RowSet = std::vector<bool>;

// What the searches read of the formula table, kept between operations while the data file is
// unchanged (ds::changeStamp): the rows in pinyin order of their names, their pinyin initials
// (at the first search by letters) and each formula's herbs by identity (at the first search by
// herb or count). Reading every composition is most of what a new index costs, so the names read
// from a composition are taken over from the index before for every composition still stored
// as it was, while the herb table is as it was.
class FormulaIndex {
public:
    // The index of the data file as it is now: the one kept while the file is unchanged, else one
    // read anew. Reads through db, which stays the caller's.
    static std::shared_ptr<FormulaIndex> of(ds::Database &db, const NameTables &tables = {});
    // Drops the kept index; the next one is read from nothing (a benchmark's first opening).
    static void forget();

    const QList<FormulaRow> &rows() const { return m_rows; }
    const NameTables &tables() const { return m_tables; }
    // The row of a stored formula; -1 when none.
    int positionOf(qint64 rowId) const { return m_positions.value(rowId, -1); }

    // The rows a typed name condition finds: a part of the name, pinyin initials typed as Latin
    // letters (xch for 小柴胡汤), or a part or initials of a formula's short name (六味丸).
    RowSet withName(const QString &typed);
    // The rows whose composition holds what the written name stands for (a herb, either herb of
    // an alias, a 辅料 or an unknown name as written), or a processed form of such a herb: 半夏
    // finds 法半夏; 附子 never finds 白附子. Reads the compositions through db the first time.
    RowSet holding(ds::Database &db, const QString &written);
    // The herbs and 辅料 the data file knows, as the compositions were resolved by.
    const HerbNames &herbNames(ds::Database &db);

private:
    FormulaIndex(QByteArray stamp, NameTables tables);
    void readRows(ds::Database &db);
    void readHerbs(ds::Database &db);
    // The identities a written name stands for: its herbs, or the name itself.
    QStringList identities(const QString &written) const;
    int identity(const QString &name);
    // The identities of a composition: the ones the index before found for the same row, when
    // its text and the herb table are as they were then; else read from the text.
    std::vector<int> identitiesOf(qint64 rowId, const QString &composition, bool sameHerbs, QHash<QString, std::vector<int>> &ofName);

    QByteArray m_stamp;
    NameTables m_tables;
    QList<FormulaRow> m_rows;
    QHash<qint64, int> m_positions;
    // The names (without "。") and, made at the first search by letters, their pinyin initials,
    // each text followed by a line break and joined, so a search runs through all of them at once;
    // row i's text begins at m_starts[i] of either (one character or letter a character).
    QString m_names;
    QByteArray m_initials;
    std::vector<qsizetype> m_starts;
    std::vector<qsizetype> m_initialStarts;
    QMultiHash<QString, int> m_rowOfName; // by the name without "。", made when a short name is first met
    // Made at the first search by herb: the herbs of the data file, and by row (in the rows'
    // order) its composition as stored and the identities it holds.
    std::optional<HerbNames> m_herbNames;
    QStringList m_herbList;
    bool m_herbsRead = false;
    std::vector<QString> m_compositions;
    std::vector<std::vector<int>> m_held;
    QHash<QString, int> m_ids; // a herb's name (a 辅料's, an unknown name) → its identity
    // Identity → the rows that hold it: the rows of identity i are m_holders[m_holderStart[i] ...
    // m_holderStart[i + 1]).
    std::vector<int> m_holderStart;
    std::vector<int> m_holders;
    // The index before this one, while its reading of compositions may serve this one.
    std::shared_ptr<const FormulaIndex> m_before;
};

} // namespace formulas
