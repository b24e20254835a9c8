#include "service_browser.h"

namespace dravo {
namespace {

// Without a discovery service the network adds nothing to the server menu.
class NoServiceBrowser final : public ServiceBrowser {
public:
    bool start(Changed) override { return false; }
    void stop() override {}
    std::vector<FoundServer> found() const override { return {}; }
};

}  // namespace

std::unique_ptr<ServiceBrowser> make_service_browser() {
    return std::make_unique<NoServiceBrowser>();
}

}  // namespace dravo
