#include "maintenance/off_thread.h"

#include <QEventLoop>
#include <QThread>

#include <memory>

namespace maint {

void runOffWindowThread(const std::function<void()> &work)
{
    std::unique_ptr<QThread> thread(QThread::create(work));
    QEventLoop loop;
    QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
    thread->start();
    // The thread may already be done before the loop runs; finished() was then queued to it.
    if (!thread->isFinished())
        loop.exec();
    thread->wait();
}

} // namespace maint
