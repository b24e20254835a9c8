#include "session_feed_qt.h"

#include <QMetaObject>

#include "remote_dialog.h"

namespace dravo {

std::unique_ptr<SessionFeed> start_session_feed(RemoteDialog& dialog) {
    // Qt queues a call from any thread; it runs on the dialog's thread, or never once it is gone.
    auto post = [&dialog](StateFeed::Task task) {
        QMetaObject::invokeMethod(&dialog, std::move(task), Qt::QueuedConnection);
    };
    auto feed = std::make_unique<SessionFeed>(dialog.session(), std::move(post));
    feed->start();
    return feed;
}

}  // namespace dravo
