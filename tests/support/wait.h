#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

// Lets events run until the condition holds or the time is up; the condition's last value.
template <typename Condition>
bool waitUntil(Condition condition, int milliseconds = 3000)
{
    QDeadlineTimer deadline(milliseconds);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}
