#pragma once
// The media keys and the desktop's media-player interface joined to the main window's start-up
// and shutdown: install makes and starts a MediaKeyService for the dialog's session, remove
// stops and destroys it. GUI thread only, like the window.
#include "media_key_hooks.h"

namespace dravo {

MediaKeyHooks media_key_hooks();

}  // namespace dravo
