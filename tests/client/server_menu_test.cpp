// The Server button's menu: its entries from the configured list and the servers found on the
// network, and what a pick (or the plain click) writes and asks.
#include <gtest/gtest.h>

#include "client_fixture.h"
#include "fake_service_browser.h"
#include "server_menu.h"
#include "temp_dir.h"

namespace dravo::test {
namespace {

// A switch asks for the new server's list, status and filter, as the plain click does.
const Targets kSwitch = {"/list", "/title", "/status", "/get_filter"};

FoundServer found(const std::string& name, const std::string& address, int port,
                  std::vector<std::string> texts = {"txtvers=1", "protocol=1"}) {
    return {name, "box.local", address, port, std::move(texts), false};
}

FoundServer on_this_machine(FoundServer server) {
    server.on_this_machine = true;
    return server;
}

struct EntriesCase {
    const char* name;
    std::vector<std::string> configured;
    int current;
    std::vector<FoundServer> found;
    std::vector<std::string> texts;  // "*" in front of the current one
};

class ServerMenuEntries : public ::testing::TestWithParam<EntriesCase> {};

TEST_P(ServerMenuEntries, ListsConfiguredThenNewFoundByName) {
    const auto& c = GetParam();
    ClientSettings settings("");
    settings.servers = c.configured;
    settings.current_server = c.current;
    RecordingView view;
    BlockingRunner runner;
    RemoteSession session(settings, view, runner);
    FakeServiceBrowser browser;
    browser.servers = c.found;
    std::vector<std::string> texts;
    for (const auto& entry : ServerMenu(settings, session, browser).entries()) {
        texts.push_back((entry.current ? "*" : "") + entry.text);
    }
    EXPECT_EQ(texts, c.texts);
}

const std::string kA = "http://a:81/";
const std::string kB = "http://b:8081/";
const EntriesCase kEntries[] = {
    {"configured alone, current marked", {kA, kB}, 2, {}, {kA, "*" + kB}},
    {"found after configured, by name",
     {kB, kA},
     1,
     {found("dravo on zeta", "10.0.0.9", 8081), found("dravo on alpha", "10.0.0.8", 81)},
     {"*" + kB, kA, "dravo on alpha (10.0.0.8:81)", "dravo on zeta (10.0.0.9:8081)"}},
    {"found by address once, as configured",
     {kA, "http://10.0.0.5:8081/"},
     2,
     {found("dravo on box", "10.0.0.5", 8081)},
     {kA, "*http://10.0.0.5:8081/ (dravo on box)"}},
    {"found by host name once, any case",
     {"http://Box.local:8081/"},
     1,
     {found("dravo on box", "10.0.0.5", 8081)},
     {"*http://Box.local:8081/ (dravo on box)"}},
    {"same address, other port: two servers",
     {"http://10.0.0.5:8082/"},
     1,
     {found("dravo on box", "10.0.0.5", 8081)},
     {"*http://10.0.0.5:8082/", "dravo on box (10.0.0.5:8081)"}},
    {"port 80 when none is written",
     {"http://10.0.0.5/"},
     1,
     {found("dravo on box", "10.0.0.5", 80)},
     {"*http://10.0.0.5/ (dravo on box)"}},
    {"this machine's server is localhost",
     {"http://localhost:8081/"},
     1,
     {on_this_machine(found("dravo on me", "10.0.0.2", 8081))},
     {"*http://localhost:8081/ (dravo on me)"}},
    {"localhost is no other machine",
     {"http://localhost:8081/"},
     1,
     {found("dravo on box", "10.0.0.5", 8081)},
     {"*http://localhost:8081/", "dravo on box (10.0.0.5:8081)"}},
    {"another protocol version is left out",
     {kA},
     1,
     {found("dravo on new", "10.0.0.7", 81, {"protocol=2"}),
      found("dravo on old", "10.0.0.6", 81, {})},
     {"*" + kA, "dravo on old (10.0.0.6:81)"}},
};
INSTANTIATE_TEST_SUITE_P(Cases, ServerMenuEntries, ::testing::ValuesIn(kEntries), CaseName());

struct PickCase {
    const char* name;
    std::vector<std::string> configured;  // "live" stands for the test's server
    int current;
    std::vector<std::string> found;  // names of servers found at the live server's address
    int pick;                        // menu entry (0-based); -1: the plain click instead
    std::vector<std::string> servers_after;
    int current_after;
    bool list_saved;  // the list was written at once (else the file has none)
};

const std::string kDead = "http://127.0.0.1:1/";

class ServerMenuPick : public ClientFixture, public ::testing::WithParamInterface<PickCase> {
protected:
    std::vector<std::string> with_live(const std::vector<std::string>& urls) const {
        auto result = urls;
        for (auto& url : result) {
            url = url == "live" ? server.base_url() : url;
        }
        return result;
    }

    TempDir dir;
};

TEST_P(ServerMenuPick, SwitchesSavesAtOnceAndAsksInOrder) {
    const auto& c = GetParam();
    serve_player({{"/list", "One\nTwo\n"}, {"/get_filter", ""}});
    settings.file_name = dir.file("dravo.ini");
    settings.servers = with_live(c.configured);
    settings.current_server = c.current;
    FakeServiceBrowser browser;
    for (const auto& name : c.found) {
        browser.servers.push_back(found(name, "127.0.0.1", server.port()));
    }
    ServerMenu menu(settings, session(), browser);
    if (c.pick < 0) {
        session().next_server();
    } else {
        menu.pick(menu.entries().at(static_cast<std::size_t>(c.pick)));
    }

    EXPECT_EQ(server.targets(), kSwitch);
    EXPECT_EQ(settings.servers, with_live(c.servers_after));
    EXPECT_EQ(settings.current_server, c.current_after);
    ClientSettings saved(settings.file_name);
    saved.load();
    EXPECT_EQ(saved.servers,
              c.list_saved ? settings.servers : std::vector<std::string>{kDefaultServer});
    EXPECT_EQ(saved.current_server, c.current_after);
}

const PickCase kPicks[] = {
    {"configured one", {kDead, "live"}, 1, {}, 1, {kDead, "live"}, 2, false},
    {"found one becomes the next ServerN",
     {kDead},
     1,
     {"dravo on test"},
     1,
     {kDead, "live"},
     2,
     true},
    {"found and configured: switched to, nothing added",
     {"live", kDead},
     2,
     {"dravo on test"},
     0,
     {"live", kDead},
     1,
     false},
    {"plain click steps through the configured list alone",
     {kDead, "live"},
     1,
     {"dravo on test"},
     -1,
     {kDead, "live"},
     2,
     false},
};
INSTANTIATE_TEST_SUITE_P(Cases, ServerMenuPick, ::testing::ValuesIn(kPicks), CaseName());

TEST(ServerMenuLabel, ShowsEveryAmpersandAsItself) {
    const std::pair<std::string, std::string> cases[] = {
        {"http://a:81/", "http://a:81/"}, {"R&B box", "R&&B box"}, {"&&", "&&&&"}, {"", ""}};
    for (const auto& [text, label] : cases) {
        EXPECT_EQ(menu_label({text, "http://a:81/", 1, false}), label) << text;
    }
}

}  // namespace
}  // namespace dravo::test
