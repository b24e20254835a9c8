// The built plug-in as a host sees it: loaded with dlopen from its own folder.
#include <gtest/gtest.h>
#include <dlfcn.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <future>
#include <memory>
#include <sstream>

#include "eventually.h"
#include "local_http_server.h"
#include "loopback_client.h"
#include "net_socket.h"
#include "plugin.h"
#include "sha256_hex.h"
#include "test_host.h"

namespace dravo::test {
namespace {

using namespace std::chrono_literals;

std::string run_command(const std::string& command) {
    std::string out;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    char buffer[256];
    while (pipe && fgets(buffer, sizeof buffer, pipe.get())) {
        out += buffer;
    }
    return out;
}

TEST(Plugin, RecordReadsVersionSixteenAndTheVersionText) {
    TestHost host;
    ASSERT_TRUE(host.loaded()) << dlerror();
    EXPECT_EQ(host.record()->version, 16);
    EXPECT_STREQ(host.record()->description, "dravo_srv v1.14");
    EXPECT_EQ(host.record()->hwndParent, nullptr);
    EXPECT_EQ(host.record()->hDllInstance, nullptr);
}

TEST(Plugin, ExportsOnlyTheEntrySymbol) {
    std::string symbols = run_command("nm -D --defined-only " DRAVO_PLUGIN_PATH);
    std::istringstream lines(symbols);
    std::string line;
    std::vector<std::string> exported;
    while (std::getline(lines, line)) {
        if (line.find(" T ") != std::string::npos || line.find(" D ") != std::string::npos ||
            line.find(" B ") != std::string::npos || line.find(" W ") != std::string::npos) {
            exported.push_back(line.substr(line.rfind(' ') + 1));
        }
    }
    EXPECT_EQ(exported, std::vector<std::string>{"winampGetGeneralPurposePlugin"}) << symbols;
}

TEST(Plugin, ReadsItsIniBesideTheModuleWhateverTheCurrentFolder) {
    TestHost host;
    ASSERT_TRUE(host.loaded());
    auto previous = std::filesystem::current_path();
    std::filesystem::current_path("/");
    const int port = host.init_on_free_port();
    std::filesystem::current_path(previous);
    ASSERT_NE(port, 0) << "the port in the INI beside the module";
    EXPECT_EQ(get(port, "/version"), header_bytes() + "dravo_srv v1.14");
    EXPECT_FALSE(std::filesystem::exists("/gen_dravo_srv.ini"));

    // A reset client leaves its line in the log beside the module.
    auto client = connect_loopback(port, 1000);
    ASSERT_TRUE(client);
    client->send("GET", 3);
    std::this_thread::sleep_for(50ms);
    client->reset();
    EXPECT_EQ(get(port, "/version"), header_bytes() + "dravo_srv v1.14");
    std::ifstream log(host.plugin_dir() / "gen_dravo_srv.log", std::ios::binary);
    std::string line;
    std::getline(log, line);
    EXPECT_NE(line.find("]Error: Receive() returned 10054\r"), std::string::npos) << line;

    // quit joins the listener: a listener that never stops hangs here until the test's time-out.
    host.quit();
    EXPECT_FALSE(connect_loopback(port, 200)) << "quit must close the listening socket";
}

TEST(Plugin, UnusablePortLeavesThePluginLoadedWithANotice) {
    TestHost host("[Settings]\r\nport=0\r\n");
    ASSERT_TRUE(host.loaded());
    EXPECT_EQ(host.init(), 0);
    auto deadline = std::chrono::steady_clock::now() + 10s;
    while (host.fake.boxes().empty() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(5ms);
    }
    auto boxes = host.fake.boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].first.rfind("socket.Listen() failed", 0), 0u);
    EXPECT_EQ(boxes[0].second, "dravo_srv Error");
    host.quit();
}

TEST(Plugin, FailedThreadStartIsReportedAndInitStillSucceeds) {
    Plugin plugin;
    plugin.set_thread_starter([](std::function<void()>) -> std::thread {
        throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
    });
    auto fake = std::make_unique<FakeHost>();
    FakeHost* seen = fake.get();
    fake->directory = "/nonexistent/";
    EXPECT_EQ(plugin.init(std::move(fake)), 0);
    auto boxes = seen->boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0],
              std::make_pair(std::string("CreateThread() failed"), std::string("dravo_srv Error")));
    plugin.quit();
}

// "/update" waits for its site off the listener thread: another client is served meanwhile.
TEST(Plugin, StatusIsAnsweredWhileAnUpdateCheckWaitsForTheSite) {
    LocalHttpServer site({{"/version.txt", HttpReply(200, "114")}});
    site.hold("/version.txt");
    TestHost host;
    ASSERT_TRUE(host.loaded());
    const int port = host.init_on_free_port("update_url=" + site.base_url() + "\r\n");
    ASSERT_NE(port, 0);
    auto update = std::async(std::launch::async, [port] {
        return send_request(port, "GET /update HTTP/1.0\r\n\r\n", 20000);
    });
    ASSERT_TRUE(eventually([&] { return site.count("/version.txt") == 1; }));
    EXPECT_EQ(get(port, "/status"),
              header_bytes() + "playing: 0\nrepeat: 0\nshuffle: 0\nvolume: 0\nfilter: \n");
    EXPECT_EQ(update.wait_for(0s), std::future_status::timeout) << "the check still waits";
    site.release("/version.txt");
    EXPECT_EQ(update.get(), header_bytes() + "You're running the latest version.");
    host.quit();
}

TEST(Plugin, QuitEndsAnUpdateInTheMiddleOfItsDownload) {
    const std::string program = "#!/bin/sh\necho updated > updated-marker\n";
    LocalHttpServer site({{"/version.txt", HttpReply(200, "115 sha256=" + sha256_hex(program))},
                          {"/dravo_srv_update", HttpReply(200, program)}});
    site.hold("/dravo_srv_update");
    TestHost host;
    ASSERT_TRUE(host.loaded());
    const int port = host.init_on_free_port("update_url=" + site.base_url() + "\r\n");
    ASSERT_NE(port, 0);
    auto update = std::async(std::launch::async, [port] {
        return send_request(port, "GET /update HTTP/1.0\r\n\r\n", 20000);
    });
    ASSERT_TRUE(eventually([&] { return site.count("/dravo_srv_update") == 1; }));
    // The download may take 30 s by its own limit: only its cancel lets quit end while the site
    // still holds it.
    auto quit = std::async(std::launch::async, [&host] { host.quit(); });
    EXPECT_EQ(quit.wait_for(20s), std::future_status::ready);
    EXPECT_FALSE(std::filesystem::exists(host.plugin_dir() / "dravo_srv_update"));
    EXPECT_TRUE(host.fake.messages().empty()) << "no close asked for";
    site.release("/dravo_srv_update");
    EXPECT_NE(update.get(),
              header_bytes() + "OK! New version downloaded.\nExiting and updating...");
}

TEST(ServerSettings, DefaultsAndTheIniFileAreHonoured) {
    setenv("XDG_MUSIC_DIR", "/srv/music", 1);
    {
        ServerSettings settings;
        EXPECT_EQ(settings.port(), 81);
        EXPECT_EQ(settings.media_root(), "/srv/music/");
        EXPECT_EQ(settings.file_extensions(), "mp3 ogg wav url");
        EXPECT_EQ(settings.current_filter(), "");
    }
    unsetenv("XDG_MUSIC_DIR");
    const char* home = getenv("HOME");
    if (home) {
        EXPECT_EQ(ServerSettings().media_root(), std::string(home) + "/Music/");
    }

    auto path = std::filesystem::temp_directory_path() / ("dravo_ini_" + std::to_string(getpid()));
    std::ofstream(path) << "[Settings]\r\nport=8080\r\ncurrent_filter=beatles\r\n";
    ServerSettings settings;
    settings.load(path.string());
    EXPECT_EQ(settings.port(), 8080);
    EXPECT_EQ(settings.current_filter(), "beatles");
    EXPECT_EQ(settings.file_extensions(), "mp3 ogg wav url");
    std::filesystem::remove(path);
}

}  // namespace
}  // namespace dravo::test
