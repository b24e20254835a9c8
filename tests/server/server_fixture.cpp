#include "server_fixture.h"

#include <chrono>

#include "loopback_client.h"

namespace dravo::test {

ServerFixture::ServerFixture(ServerLimits limits, ClientPolicy policy, BrowserGuard guard,
                             std::optional<PageLimits> page)
    : log_(dir_.file(kServerLogName)) {
    if (page) {
        page_ = std::make_unique<PageService>(table_, player_, settings_, mute_, *page);
    }
    // Another program may take the free port before the server binds it: then another port.
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (thread_.joinable()) {
            thread_.join();
        }
        port_ = free_port();
        server_ = std::make_unique<CommandServer>(
            port_, table_,
            [this](const std::string& text, const std::string& caption) {
                host.message_box(text, caption);
            },
            log_, limits, policy, guard, page_.get());
        thread_ = std::thread([this] { server_->run(); });
        while (server_->state() == CommandServer::State::starting) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        if (server_->state() != CommandServer::State::failed) {
            break;
        }
        host.clear();  // the listen notice of the lost port
    }
}

ServerFixture::~ServerFixture() { stop(); }

void ServerFixture::stop() {
    server_->stop();
    if (thread_.joinable()) {
        thread_.join();
    }
}

std::string ServerFixture::log_text() const { return read_file(dir_.file(kServerLogName)); }

}  // namespace dravo::test
