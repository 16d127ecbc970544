#include "ui/growth.h"

#include <QEvent>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace ui {

Growth::Growth(QWidget *window)
    : QObject(window)
    , m_window(window)
    , m_designed(window->size())
{
    window->setMinimumSize(m_designed);
    window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    window->installEventFilter(this);
}

void Growth::add(QWidget *control, Shares shares)
{
    m_controls.append({control, control->geometry(), shares});
    apply();
}

bool Growth::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window && event->type() == QEvent::Resize)
        apply();
    return QObject::eventFilter(watched, event);
}

void Growth::apply()
{
    const int wider = std::max(0, m_window->width() - m_designed.width());
    const int taller = std::max(0, m_window->height() - m_designed.height());
    const auto along = [](int extra, double share) { return int(std::lround(extra * share)); };
    for (const Control &control : std::as_const(m_controls)) {
        if (!control.widget)
            continue;
        const QRect &at = control.designed;
        control.widget->setGeometry(QRect(QPoint(at.left() + along(wider, control.shares.left),
                                                 at.top() + along(taller, control.shares.top)),
                                          QPoint(at.right() + along(wider, control.shares.right),
                                                 at.bottom() + along(taller, control.shares.bottom))));
    }
}

} // namespace ui
