#include "request_runner_qt.h"

#include <QEventLoop>
#include <QMetaObject>

#include <exception>
#include <thread>

namespace dravo {

void EventLoopRunner::run(const std::function<void()>& work) {
    QEventLoop loop;
    std::thread worker([&loop, &work] {
        try {
            work();
        } catch (...) {
            // Nothing may leave a thread; the work's own result stays unset, which reads as failed.
        }
        // Posted, so the quit arrives even if the work ends before the loop starts. By name rather
        // than as a functor: the functor's holder would be freed on this thread after the loop's
        // thread ran it, ordered only by Qt's own reference count.
        QMetaObject::invokeMethod(&loop, "quit", Qt::QueuedConnection);
    });
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker.join();
}

}  // namespace dravo
