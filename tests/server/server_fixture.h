#pragma once
// A command server on a free loopback port, served by its own thread, over a fake host.
#include <memory>
#include <optional>
#include <thread>

#include "command_server.h"
#include "command_table.h"
#include "fake_host.h"
#include "page_service.h"
#include "player_control.h"
#include "server_log.h"
#include "server_settings.h"
#include "temp_dir.h"

namespace dravo::test {

class ServerFixture {
public:
    // page: serve the browser page and its API with these limits.
    explicit ServerFixture(ServerLimits limits = {}, ClientPolicy policy = {},
                           BrowserGuard guard = BrowserGuard::from_settings("", ""),
                           std::optional<PageLimits> page = std::nullopt);
    ~ServerFixture();
    // Stops the server and waits for its thread (at most once).
    void stop();

    int port() const { return port_; }
    std::string log_text() const;
    FakeHost host;

private:
    TempDir dir_;
    ServerSettings settings_;
    MuteMemory mute_;
    PlayerControl player_{host};
    ServerLog log_;
    CommandTable table_{CommandEnv{host, player_, settings_, nullptr, mute_}};
    std::unique_ptr<PageService> page_;
    std::unique_ptr<CommandServer> server_;
    std::thread thread_;
    int port_ = 0;
};

}  // namespace dravo::test
