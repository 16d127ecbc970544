#include "browse/frozen_column_table.h"

#include <QHeaderView>
#include <QScrollBar>

namespace browse {

FrozenColumnTable::FrozenColumnTable(QWidget *parent)
    : QTableView(parent)
    , m_frozen(new QTableView(this))
{
    m_frozen->setObjectName(QStringLiteral("MsfgridFrozen"));
    m_frozen->setFocusPolicy(Qt::NoFocus);
    m_frozen->setFrameShape(QFrame::NoFrame);
    m_frozen->verticalHeader()->hide();
    m_frozen->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_frozen->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_frozen->setVerticalScrollMode(ScrollPerPixel);
    setHorizontalScrollMode(ScrollPerPixel);
    setVerticalScrollMode(ScrollPerPixel);
    viewport()->stackUnder(m_frozen);

    // Widths and heights follow each other both ways; a size that did not change stops the echo.
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int logical, int, int size) {
        if (logical == 0) {
            m_frozen->setColumnWidth(0, size);
            updateFrozenGeometry();
        }
    });
    connect(m_frozen->horizontalHeader(), &QHeaderView::sectionResized, this, [this](int logical, int, int size) {
        if (logical == 0)
            setColumnWidth(0, size);
    });
    connect(verticalHeader(), &QHeaderView::sectionResized, this,
            [this](int logical, int, int size) { m_frozen->setRowHeight(logical, size); });
    connect(m_frozen->verticalScrollBar(), &QAbstractSlider::valueChanged, verticalScrollBar(), &QAbstractSlider::setValue);
    connect(verticalScrollBar(), &QAbstractSlider::valueChanged, m_frozen->verticalScrollBar(), &QAbstractSlider::setValue);
}

void FrozenColumnTable::setModel(QAbstractItemModel *model)
{
    QTableView::setModel(model);
    m_frozen->setModel(model);
    m_frozen->setSelectionModel(selectionModel());
    connect(model, &QAbstractItemModel::modelReset, this, &FrozenColumnTable::hideScrollingColumns);
    hideScrollingColumns();
}

void FrozenColumnTable::hideScrollingColumns()
{
    QAbstractItemModel *shown = model();
    if (!shown)
        return;
    for (int column = 1; column < shown->columnCount(); ++column)
        m_frozen->setColumnHidden(column, true);
    m_frozen->setColumnWidth(0, columnWidth(0));
    m_frozen->verticalHeader()->setMinimumSectionSize(verticalHeader()->minimumSectionSize());
    m_frozen->verticalHeader()->setDefaultSectionSize(verticalHeader()->defaultSectionSize());
    updateFrozenGeometry();
}

void FrozenColumnTable::resizeEvent(QResizeEvent *event)
{
    QTableView::resizeEvent(event);
    updateFrozenGeometry();
}

void FrozenColumnTable::updateGeometries()
{
    QTableView::updateGeometries();
    updateFrozenGeometry();
}

QModelIndex FrozenColumnTable::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers)
{
    // A cell that would go under the frozen column scrolls out from under it.
    const QModelIndex current = QTableView::moveCursor(cursorAction, modifiers);
    if (cursorAction == MoveLeft && current.column() > 0
        && visualRect(current).topLeft().x() < m_frozen->columnWidth(0)) {
        const int newValue = horizontalScrollBar()->value() + visualRect(current).topLeft().x() - m_frozen->columnWidth(0);
        horizontalScrollBar()->setValue(newValue);
    }
    return current;
}

void FrozenColumnTable::scrollTo(const QModelIndex &index, ScrollHint hint)
{
    // A cell of the frozen column is always in view sideways: only scroll up or down to it.
    const int sideways = horizontalScrollBar()->value();
    QTableView::scrollTo(index, hint);
    if (index.column() == 0)
        horizontalScrollBar()->setValue(sideways);
}

void FrozenColumnTable::updateFrozenGeometry()
{
    m_frozen->horizontalHeader()->setFixedHeight(horizontalHeader()->height());
    m_frozen->setGeometry(verticalHeader()->width() + frameWidth(), frameWidth(), columnWidth(0),
                          viewport()->height() + horizontalHeader()->height());
}

} // namespace browse
