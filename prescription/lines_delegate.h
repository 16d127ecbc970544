#pragma once

#include <QStyledItemDelegate>

#include <functional>

class QKeyEvent;
class QLineEdit;

namespace rx {

// The editors of the herb lines: a line edit a cell, named after its column (Txtmc, Txtjl,
// Txtdw, Txtjz), whose keys the screen sees before the view's own handling; and the 核对 column
// drawn in the colour of its gravest finding, beside its words.
class LinesDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    // True when the screen used the key up.
    using KeyHandler = std::function<bool(QWidget *editor, int column, QKeyEvent *key)>;
    using EditorMade = std::function<void(QLineEdit *editor, int column)>;

    LinesDelegate(KeyHandler keys, EditorMade made, QObject *parent);

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // Ends the edit as Enter would: the text is stored and the editor closed.
    void commitAndClose(QWidget *editor);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;

private:
    KeyHandler m_keys;
    EditorMade m_made;
};

} // namespace rx
