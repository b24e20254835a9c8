#include "media_key_wiring.h"

#include "media_key_service.h"
#include "remote_app.h"

namespace dravo {
namespace {

class MediaKeyHook : public KeyHook {
public:
    explicit MediaKeyHook(RemoteApp& app) : app_(app) {}

    bool install() override {
        service_ = std::make_unique<MediaKeyService>(app_.session(),
                                                     [this] { app_.lifecycle().bring_up(); });
        return service_->start();
    }
    void remove() override { service_.reset(); }

private:
    RemoteApp& app_;
    std::unique_ptr<MediaKeyService> service_;
};

}  // namespace

std::unique_ptr<KeyHook> make_media_key_hook(RemoteApp& app) {
    return std::make_unique<MediaKeyHook>(app);
}

}  // namespace dravo
