#pragma once

#include <QEvent>
#include <QKeyEvent>

namespace users {

// The keys the input boxes treat specially: the space is never typed into them, and Enter
// moves the focus along the screen's chain instead of reaching the box.
enum class BoxKey { Space, Enter, Other };

inline BoxKey boxKey(const QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return BoxKey::Other;
    const int key = static_cast<const QKeyEvent *>(event)->key();
    if (key == Qt::Key_Space)
        return BoxKey::Space;
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        return BoxKey::Enter;
    return BoxKey::Other;
}

} // namespace users
