#pragma once
// A client session against a local HTTP server that records the targets it is asked for, with a
// recording window and requests on the test's thread.
#include <gtest/gtest.h>

#include <memory>

#include "client_settings.h"
#include "local_http_server.h"
#include "loopback_client.h"
#include "recording_view.h"
#include "remote_session.h"
#include "request_runner.h"

namespace dravo::test {

class ClientFixture : public ::testing::Test {
protected:
    ClientFixture() : settings("") { settings.servers = {server.base_url()}; }

    RemoteSession& session() {
        if (!session_) {
            SessionOptions options;
            options.limits = {std::chrono::milliseconds(2000), std::chrono::milliseconds(5000)};
            options.update_url = server.base_url() + "dravo/";
            session_ = std::make_unique<RemoteSession>(settings, view, runner, options);
        }
        return *session_;
    }
    // Points the client at a port nobody listens on.
    void server_down() {
        settings.servers = {"http://127.0.0.1:" + std::to_string(free_port()) + "/"};
    }

    LocalHttpServer server;
    ClientSettings settings;
    RecordingView view;
    BlockingRunner runner;

private:
    std::unique_ptr<RemoteSession> session_;
};

}  // namespace dravo::test
