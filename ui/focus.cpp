#include "ui/focus.h"

#include <QWidget>

namespace ui {

QWidget *openingControl(QWidget *window)
{
    if (QWidget *chosen = window->focusWidget())
        return chosen;
    for (QWidget *w = window->nextInFocusChain(); w != window; w = w->nextInFocusChain()) {
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(window) && w->isEnabled() && w->window() == window)
            return w;
    }
    return window;
}

} // namespace ui
