#pragma once
// The server's pushed state joined to the session: a started SessionFeed whose tasks are posted
// to the thread of context, the main window (dropped once it is gone). Make it after the
// window's start-up and destroy it before the window and the session; GUI thread only.
#include <QObject>

#include <memory>

#include "session_feed.h"

namespace dravo {

class RemoteSession;

std::unique_ptr<SessionFeed> start_session_feed(QObject& context, RemoteSession& session);

}  // namespace dravo
