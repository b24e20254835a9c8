// The test driver on a private session bus: the media-player interface runs the same requests
// as the keys, its properties follow the session, and changes are signalled. Also which way of
// catching keys is enough to count as installed.
#include "desktop_fixture.h"

namespace dravo::test {
namespace {

const std::string kPropertiesChanged =
    "/org/mpris/MediaPlayer2: org.freedesktop.DBus.Properties.PropertiesChanged";
const std::string kPlayer = "org.mpris.MediaPlayer2.Player";

// The driver's bus name: the plain one, or an instance name while an earlier driver's is still
// being released.
class BusTest : public DriverFixture {
protected:
    void SetUp() override {
        const auto started = start_driver({"DISPLAY"});  // the bus alone
        const auto name = started.find(" name=");
        ASSERT_TRUE(started.find("bus=1") != std::string::npos && name != std::string::npos)
            << started;
        bus_name = started.substr(name + 6);
    }
    std::string call(const std::string& method_and_arguments) const {
        return "gdbus call --session --dest " + bus_name +
               " --object-path /org/mpris/MediaPlayer2 --method " + method_and_arguments;
    }
    std::string get_property(const std::string& name) const {
        return output_of(call("org.freedesktop.DBus.Properties.Get " + kPlayer + " " + name));
    }

    std::string bus_name;
};

TEST_F(BusTest, NextSendsNextAndMetadataGivesTheTitle) {
    EXPECT_TRUE(run(call(kPlayer + ".Next")));
    EXPECT_EQ(targets_after(2), (Targets{"/next", "/title"}));
    const auto metadata = get_property("Metadata");
    EXPECT_NE(metadata.find("'xesam:title': <'Artist - Song'>"), std::string::npos) << metadata;
    EXPECT_NE(metadata.find("'mpris:trackid': <objectpath '/org/dravo/track/"), std::string::npos)
        << metadata;
}

TEST_F(BusTest, PlaybackStatusFollowsTheStatusPoll) {
    const std::pair<const char*, const char*> steps[] = {
        {"playing: 3\n", "'Paused'"}, {"playing: 1\n", "'Playing'"}, {"playing: 0\n", "'Stopped'"}};
    for (const auto& [status, shown] : steps) {
        server.set_reply("/status", {200, status});
        command("poll");
        EXPECT_NE(get_property("PlaybackStatus").find(shown), std::string::npos) << shown;
    }
}

TEST_F(BusTest, VolumeAndRaiseRunTheirOperations) {
    EXPECT_TRUE(run(call("org.freedesktop.DBus.Properties.Set " + kPlayer + " Volume '<0.25>'")));
    EXPECT_EQ(targets_after(2), (Targets{"/title", "/volume?volume=25"}));
    EXPECT_NE(get_property("Volume").find("0.25"), std::string::npos);
    EXPECT_TRUE(run(call("org.mpris.MediaPlayer2.Raise")));
    EXPECT_TRUE(driver->wait_line("view show_at_cursor", kPatience));
}

TEST_F(BusTest, TitleChangeIsSignalled) {
    ChildProcess monitor({"gdbus", "monitor", "--session", "--dest", bus_name});
    ASSERT_TRUE(monitor.wait_line("The name " + bus_name + " is owned by", kPatience));
    server.set_reply("/title", {200, "Another - Tune"});
    command("title");
    const auto signal = monitor.wait_line(kPropertiesChanged, kPatience);
    ASSERT_TRUE(signal);
    EXPECT_NE(signal->find("'xesam:title': <'Another - Tune'>"), std::string::npos) << *signal;
}

struct InstallCase {
    const char* name;
    std::vector<std::string> environment;
    const char* started;
    bool failure_shown;
};

void PrintTo(const InstallCase& c, std::ostream* out) { *out << c.name; }

const char* const kNoBus = "DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent/dravo-bus";

const InstallCase kInstallCases[] = {
    {"both", {}, "installed=1 hook=1 bus=1", false},
    {"keys_only", {kNoBus}, "installed=1 hook=1 bus=0", false},
    {"bus_only", {"DISPLAY"}, "installed=1 hook=0 bus=1", false},
    {"neither", {"DISPLAY", kNoBus}, "installed=0 hook=0 bus=0", true},
};

class InstallTest : public DriverFixture, public ::testing::WithParamInterface<InstallCase> {};

TEST_P(InstallTest, InstalledWhenEitherWayWorks) {
    const auto& c = GetParam();
    const auto started = start_driver(c.environment);
    EXPECT_EQ(started.rfind(std::string("started ") + c.started, 0), 0u) << started;
    command("quit");
    const auto& lines = driver->lines();
    auto seen = [&](const char* line) {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    };
    EXPECT_EQ(seen("view error:SetMMShellHook() failed!"), c.failure_shown);
    EXPECT_EQ(seen("view osd:ERROR: SetMMShellHook() failed!"), c.failure_shown);
}

INSTANTIATE_TEST_SUITE_P(Ways, InstallTest, ::testing::ValuesIn(kInstallCases),
                         [](const auto& test_info) { return std::string(test_info.param.name); });

}  // namespace
}  // namespace dravo::test
