#pragma once

#include <QTableView>

namespace browse {

// A table whose first column stays in view while the others scroll sideways: a second view
// showing only that column lies over the first, sharing the model, the selection, the row
// heights and the vertical scrolling. Column 0 may be resized on either view.
class FrozenColumnTable : public QTableView {
    Q_OBJECT
public:
    explicit FrozenColumnTable(QWidget *parent = nullptr);

    void setModel(QAbstractItemModel *model) override;
    QTableView *frozenView() const { return m_frozen; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void scrollTo(const QModelIndex &index, ScrollHint hint = EnsureVisible) override;
    void updateGeometries() override;

private:
    void hideScrollingColumns();
    void updateFrozenGeometry();

    QTableView *m_frozen;
};

} // namespace browse
