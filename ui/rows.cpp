#include "ui/rows.h"

#include <QAbstractItemView>
#include <QFontMetrics>
#include <QHeaderView>
#include <QStyledItemDelegate>
#include <QTableView>

#include <algorithm>

namespace ui {
namespace {

constexpr int kPadding = 3; // pixels above and below the text

// Rows never lower than the font's line height with the padding.
class RowHeightDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(std::max(size.height(), rowHeight(option.font)));
        return size;
    }
};

} // namespace

int rowHeight(const QFont &font)
{
    return QFontMetrics(font).lineSpacing() + 2 * kPadding;
}

void setComfortableRows(QAbstractItemView *view)
{
    view->setItemDelegate(new RowHeightDelegate(view));
    if (auto *grid = qobject_cast<QTableView *>(view)) {
        QHeaderView *rows = grid->verticalHeader();
        rows->setMinimumSectionSize(std::min(rows->minimumSectionSize(), rowHeight(view->font())));
        rows->setDefaultSectionSize(rowHeight(view->font()));
    }
}

} // namespace ui
