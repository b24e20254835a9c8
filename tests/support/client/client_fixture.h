#pragma once
// A client session against a local HTTP server that records the targets it is asked for, with a
// recording window and requests on the test's thread (or another runner set before first use),
// and what a player's server answers to the transport requests.
#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <memory>

#include "client_settings.h"
#include "local_http_server.h"
#include "loopback_client.h"
#include "recording_view.h"
#include "remote_session.h"
#include "request_runner.h"

namespace dravo::test {

using Targets = std::vector<std::string>;

// The requests of the plain operations, each followed by the title.
inline const Targets kNext = {"/next", "/title"};
inline const Targets kPrev = {"/prev", "/title"};
inline const Targets kForward = {"/ffwd", "/title"};
inline const Targets kBack = {"/rewind", "/title"};
inline const Targets kPlay = {"/status", "/play", "/title"};
inline const Targets kPause = {"/status", "/pause", "/title"};
inline const Targets kShuffle = {"/playmode?shuffle=on", "/title"};
inline const Targets kStop = {"/stop", "/title"};
inline const Targets kNone = {};

// A volume is set after the title, which tells the volume it starts from.
inline Targets volume_to(int volume) {
    return {"/title", "/volume?volume=" + std::to_string(volume)};
}

class ClientFixture : public ::testing::Test {
protected:
    ClientFixture() : settings("") { settings.servers = {server.base_url()}; }

    RemoteSession& session() {
        if (!session_) {
            SessionOptions options;
            options.limits = {std::chrono::milliseconds(2000), std::chrono::milliseconds(5000)};
            options.update_url = server.base_url() + "dravo/";
            session_ = std::make_unique<RemoteSession>(settings, view, *requests, options);
        }
        return *session_;
    }
    // Points the client at a port nobody listens on.
    void server_down() {
        settings.servers = {"http://127.0.0.1:" + std::to_string(free_port()) + "/"};
    }
    // Answers the transport requests as a player does; changes replaces some of the bodies.
    void serve_player(const std::map<std::string, std::string>& changes = {}) {
        static const std::map<std::string, std::string> kBodies = {
            {"/title", "A - B\r\n"},
            {"/mute", "40"},
            {"/ffwd", "New position: [1:23 / 4:05]\n"},
            {"/rewind", "New position: [0:05 / 4:05]\n"},
            {"/version", "dravo_srv v1.14"}};
        for (const char* target : {"/status", "/next", "/prev", "/play", "/pause", "/stop",
                                   "/playmode?shuffle=on", "/playmode?shuffle=off"}) {
            server.set_reply(target, {200, ""});
        }
        for (const auto& [target, body] : kBodies) {
            server.set_reply(target, {200, body});
        }
        for (const auto& [target, body] : changes) {
            server.set_reply(target, {200, body});
        }
    }

    LocalHttpServer server;
    ClientSettings settings;
    RecordingView view;
    BlockingRunner runner;
    RequestRunner* requests = &runner;  // the session's runner

private:
    std::unique_ptr<RemoteSession> session_;
};

// Names each case of a parameterised test after its name field, in letters, digits and '_'.
struct CaseName {
    template <typename Case>
    std::string operator()(const ::testing::TestParamInfo<Case>& info) const {
        std::string name = info.param.name;
        for (auto& c : name) {
            c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        }
        return name;
    }
};

}  // namespace dravo::test
