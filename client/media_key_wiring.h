#pragma once
// The media keys and the desktop's media-player interface as the client's KeyHook: install()
// makes and starts a MediaKeyService for the app's session, remove() stops and destroys it.
// GUI thread only, like the window.
#include <memory>

#include "client_shell.h"

namespace dravo {

class RemoteApp;

std::unique_ptr<KeyHook> make_media_key_hook(RemoteApp& app);

}  // namespace dravo
