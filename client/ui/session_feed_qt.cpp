#include "session_feed_qt.h"

#include <QMetaObject>

namespace dravo {

std::unique_ptr<SessionFeed> start_session_feed(QObject& context, RemoteSession& session) {
    // Qt queues a call from any thread; it runs on the context's thread, or never once it is gone.
    auto post = [&context](StateFeed::Task task) {
        QMetaObject::invokeMethod(&context, std::move(task), Qt::QueuedConnection);
    };
    auto feed = std::make_unique<SessionFeed>(session, std::move(post));
    feed->start();
    return feed;
}

}  // namespace dravo
