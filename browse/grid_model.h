#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QString>

#include <array>
#include <span>
#include <string_view>

namespace ds {
class AliasTable;
}

namespace browse {

inline constexpr int kGridColumns = 7;

// One data row of the browse grid: positions 0 to 6 of 中医药材 as the engine gives them (UTF-8,
// one after another in one block). They become texts only when a cell is shown or compared: a
// grid of tens of thousands of rows shows a few dozen at a time.
class GridRow {
public:
    GridRow() = default;
    // The stored values of positions 0, 1, ... (a Null is an empty value); at most seven.
    explicit GridRow(std::span<const std::string_view> values);

    // The value of a position without leading and trailing spaces; empty beyond the values given.
    QString cell(int column) const;
    // The name as stored, by which the row's herb is looked up.
    QString storedName() const;

private:
    std::string_view value(int column) const;

    QByteArray m_values;
    std::array<quint32, kGridColumns> m_ends{};
    int m_count = 0;
};

// One column of a grid format string: "<" left, "^" centred, ">" right, then the header text.
struct GridColumn {
    QString header;
    Qt::Alignment alignment;
};

inline const QString kGridFormat =
    QStringLiteral("<  药 材 名 称|<归 经|<性  味|<功  用|<主    治|<用   法|<宜     忌");

// "别名：云苓、茯灵": the aliases of the herb of that name; empty when it has none.
QString aliasTip(const ds::AliasTable &aliases, const QString &name);
// The same, and "由别名“云苓”查到" on a line of its own when the typed name condition found the
// herb through that alias, not by its own name.
QString aliasTip(const ds::AliasTable &aliases, const QString &name, const QString &typedName);

// The columns of a format string; "|" separates them and the spaces belong to the headers.
QList<GridColumn> parseFormatString(const QString &format);

// The herbs of the browse grid, seven read-only text columns under the format string's headers.
// The view's header row is the model's horizontal header; rows have no header text. A name
// cell's tooltip lists the herb's aliases, and which of them the typed name found it by.
class HerbGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit HerbGridModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Replaces every row (an empty list leaves the header alone).
    void setRows(QList<GridRow> rows);
    QString cell(int row, int column) const;
    QString storedName(int row) const;
    // The table the name cells' tooltips come from; none by default.
    void setAliases(const ds::AliasTable *aliases) { m_aliases = aliases; }
    // The name condition the rows were found by; empty for the whole table.
    void setTypedName(const QString &name) { m_typedName = name; }

private:
    QList<GridColumn> m_columns;
    QList<GridRow> m_rows;
    const ds::AliasTable *m_aliases = nullptr;
    QString m_typedName;
};

} // namespace browse
