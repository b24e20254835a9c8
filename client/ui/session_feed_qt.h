#pragma once
// The server's pushed state joined to the main window's session: a started SessionFeed whose
// tasks are posted to the window's thread (dropped once the window is gone). Make it after the
// window's start-up and destroy it before the window; GUI thread only.
#include <memory>

#include "session_feed.h"

namespace dravo {

class RemoteDialog;

std::unique_ptr<SessionFeed> start_session_feed(RemoteDialog& dialog);

}  // namespace dravo
