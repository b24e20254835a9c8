#include "media_key_wiring.h"

#include <memory>

#include "media_key_service.h"
#include "remote_dialog.h"

namespace dravo {

MediaKeyHooks media_key_hooks() {
    auto service = std::make_shared<std::unique_ptr<MediaKeyService>>();
    MediaKeyHooks hooks;
    hooks.install = [service](RemoteDialog& dialog) {
        *service = std::make_unique<MediaKeyService>(dialog.session(), dialog,
                                                     [&dialog] { dialog.show_at_cursor(); });
        (*service)->start();
        return true;  // when neither way works the service has told the user already
    };
    hooks.remove = [service](RemoteDialog&) { service->reset(); };
    return hooks;
}

}  // namespace dravo
