#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QString>

#include <array>

namespace ds {
class AliasTable;
}

namespace browse {

inline constexpr int kGridColumns = 7;

// One data row of the browse grid: positions 0 to 6 of 中医药材, trimmed, and the name as
// stored, by which the row's herb is looked up.
struct GridRow {
    std::array<QString, kGridColumns> cells;
    QString storedName;
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

// The columns of a format string; "|" separates them and the spaces belong to the headers.
QList<GridColumn> parseFormatString(const QString &format);

// The herbs of the browse grid, seven read-only text columns under the format string's headers.
// The view's header row is the model's horizontal header; rows have no header text. A name
// cell's tooltip lists the herb's aliases.
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

private:
    QList<GridColumn> m_columns;
    QList<GridRow> m_rows;
    const ds::AliasTable *m_aliases = nullptr;
};

} // namespace browse
