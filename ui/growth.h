#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>

class QWidget;

namespace ui {

// Lets a window laid out in twips grow past the size it was designed at: each control's edges
// move by set shares of the extra width and height. A control with no shares stays where it
// was designed; one with every share 1 for its right and bottom edges grows with the window.
// The window keeps its designed size as its minimum.
class Growth : public QObject {
public:
    struct Shares {
        double left = 0;
        double top = 0;
        double right = 0;
        double bottom = 0;
    };

    // Takes the window's present size as its designed size.
    explicit Growth(QWidget *window);

    // Records the control's designed place (its geometry now, in its parent) and its shares.
    void add(QWidget *control, Shares shares);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void apply();

    struct Control {
        QPointer<QWidget> widget;
        QRect designed;
        Shares shares;
    };
    QWidget *m_window;
    QSize m_designed;
    QList<Control> m_controls;
};

} // namespace ui
