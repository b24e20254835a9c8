// The configuration dialog's work without any widget: apply, save, rebuild, and the plug-in's
// config entry on a host without a window.
#include "server_config.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "config_fixture.h"
#include "config_ui.h"
#include "plugin.h"
#include "text.h"

namespace dravo::test {
namespace {

using namespace std::chrono_literals;

class ServerConfigTest : public ::testing::Test, public ConfigFixture {};

TEST_F(ServerConfigTest, EditsStartFromTheSettings) {
    settings_.edit([](ServerValues& v) { v = {8081, "/srv/music/", "mp3 flac", ""}; });
    ServerConfig config(settings_, &cache_, capture());
    const ConfigTexts shown = config.texts();
    EXPECT_EQ(shown.port, "8081");
    EXPECT_EQ(shown.media_root, "/srv/music/");
    EXPECT_EQ(shown.file_extensions, "mp3 flac");
}

TEST_F(ServerConfigTest, PortMessageOnlyWhenThePortChanges) {
    ServerConfig config(settings_, &cache_, capture());
    config.apply({"81", "/m/", "mp3"});
    config.apply({" 81", "/m/", "mp3"});  // the number is what counts, not the text
    config.apply({"81x", "/m/", "mp3"});
    EXPECT_TRUE(boxes_.empty());

    config.apply({"8080", "/m/", "mp3"});
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0], kPortBox);
    EXPECT_EQ(boxes_[0].first,
              "Changes to server port won't take effect until winamp is restarted.");
    EXPECT_EQ(boxes_[0].second, "dravo_srv");
    EXPECT_EQ(settings_.port(), 8080);

    // Applied again (OK after a refresh): the port is already stored, so no second message.
    config.apply({"8080", "/m/", "mp3"});
    EXPECT_EQ(boxes_.size(), 1u);
}

TEST_F(ServerConfigTest, PortTextThatIsNoNumberIsStoredAsZero) {
    ServerConfig config(settings_, &cache_, capture());
    config.apply({"abc", "/m/", "mp3"});
    EXPECT_EQ(settings_.port(), 0);
    EXPECT_EQ(boxes_.size(), 1u);
    config.apply({"", "/m/", "mp3"});
    EXPECT_EQ(boxes_.size(), 1u);  // empty is 0 too: unchanged
}

TEST_F(ServerConfigTest, MediaRootGetsOneTrailingSeparatorUnlessEmpty) {
    ServerConfig config(settings_, &cache_, capture());
    const std::pair<std::string, std::string> cases[] = {
        {"d:/songs", "d:/songs/"}, {"/srv/music/", "/srv/music/"}, {"", ""}, {"/", "/"},
        {"a b", "a b/"},           {"d:\\songs", "d:\\songs/"}};
    for (const auto& [typed, stored] : cases) {
        config.apply({"81", typed, "mp3"});
        EXPECT_EQ(settings_.media_root(), stored) << typed;
    }
    EXPECT_EQ(with_trailing_separator("x"), std::string("x") + kPathSeparator);
}

TEST_F(ServerConfigTest, ApplySavesAllSettingsAndLeavesExtensionsAsTyped) {
    settings_.edit([&](ServerValues& v) { v.current_filter = "jazz"; });
    ServerConfig config(settings_, &cache_, capture());
    config.apply({"8080", "d:/songs", " mp3\togg  "});
    EXPECT_EQ(settings_.file_extensions(), " mp3\togg  ");
    EXPECT_EQ(settings_.current_filter(), "jazz");

    ServerSettings reread;
    reread.load(settings_.file_name());
    EXPECT_EQ(reread.port(), 8080);
    EXPECT_EQ(reread.media_root(), "d:/songs/");
    EXPECT_EQ(reread.current_filter(), "jazz");
    EXPECT_NE(ini().find("port=8080"), std::string::npos);
    EXPECT_NE(ini().find("media_root=d:/songs/"), std::string::npos);
    EXPECT_NE(ini().find("file_extensions= mp3\togg  "), std::string::npos);
}

TEST_F(ServerConfigTest, RebuildScansTheNewRootWithTheNewExtensions) {
    const std::string old_root = folder("old");
    const std::string new_root = folder("new");
    make_files(old_root, {"a.mp3"});
    make_files(new_root, {"b.ogg", "c.mp3", "sub/d.ogg", "e.OGG"});
    ServerConfig config(settings_, &cache_, capture());
    config.apply({"81", old_root, "mp3"});
    config.start_rebuild();
    config.finish_rebuild();
    EXPECT_EQ(cache_file(), "a.mp3\r\n");
    EXPECT_EQ(config.files_found(), 1u);

    config.apply({"81", new_root, "ogg"});
    EXPECT_EQ(cache_file(), "a.mp3\r\n");  // applying alone does not rescan
    config.start_rebuild();
    config.finish_rebuild();
    EXPECT_FALSE(config.rebuilding());
    EXPECT_EQ(config.files_found(), 2u);
    const std::string listed = cache_file();
    EXPECT_NE(listed.find("b.ogg\r\n"), std::string::npos);
    EXPECT_NE(listed.find("sub/d.ogg\r\n"), std::string::npos);
    EXPECT_EQ(listed.find("mp3"), std::string::npos);
}

TEST_F(ServerConfigTest, WithoutACacheApplyStillWorksAndNothingIsRebuilt) {
    ServerConfig config(settings_, nullptr, capture());
    config.apply({"82", "/m", "mp3"});
    config.start_rebuild();
    EXPECT_FALSE(config.rebuilding());
    EXPECT_EQ(config.files_found(), 0u);
    EXPECT_EQ(settings_.media_root(), "/m/");
}

TEST_F(ServerConfigTest, DestroyingWhileARebuildWaitsWaitsForIt) {
    make_files(folder("m"), {"a.mp3"});
    {
        ServerConfig config(settings_, &cache_, capture());
        config.apply({"81", folder("m"), "mp3"});
        auto held = cache_.lock();  // a filter pass in progress
        config.start_rebuild();
        std::this_thread::sleep_for(20ms);
        EXPECT_TRUE(config.rebuilding());
        EXPECT_EQ(config.files_found(), 0u);
        held.unlock();
    }  // the destructor joins the worker
    EXPECT_EQ(cache_file(), "a.mp3\r\n");
}

// The plug-in's config entry, on a host whose process has no GUI application.
class PluginConfigTest : public ::testing::Test, public ConfigFixture {};

TEST_F(PluginConfigTest, HeadlessHostIsToldTheDialogNeedsItsWindow) {
    Plugin plugin;
    install_config_ui(plugin);
    plugin.config();  // before init: nothing to edit, nothing shown, no crash
    QuietHost* host = start_plugin(plugin);
    plugin.config();
    ASSERT_EQ(host->boxes().size(), 1u);
    EXPECT_EQ(host->boxes()[0], Box(kConfigNeedsWindowText, "dravo_srv"));
    EXPECT_FALSE(std::filesystem::exists(settings_.file_name()));  // nothing was saved
}

TEST_F(PluginConfigTest, ConfigRunsTheInstalledDialogWithThePluginsState) {
    Plugin plugin;
    int shown = 0;
    plugin.set_config_ui([&](Plugin& seen) {
        ++shown;
        EXPECT_EQ(&seen, &plugin);
        EXPECT_NE(seen.media_cache(), nullptr);
        return std::string();
    });
    plugin.config();
    EXPECT_EQ(shown, 0);
    QuietHost* host = start_plugin(plugin);
    plugin.config();
    EXPECT_EQ(shown, 1);
    EXPECT_TRUE(host->boxes().empty());
    // A dialog that cannot be shown says why.
    plugin.set_config_ui([](Plugin&) { return std::string("no dialog (error 5)"); });
    plugin.config();
    ASSERT_EQ(host->boxes().size(), 1u);
    EXPECT_EQ(host->boxes()[0], Box("no dialog (error 5)", "dravo_srv"));
}

TEST_F(PluginConfigTest, WithoutADialogTheUserIsToldSo) {
    Plugin plugin;
    QuietHost* host = start_plugin(plugin);
    plugin.config();
    ASSERT_EQ(host->boxes().size(), 1u);
    EXPECT_EQ(host->boxes()[0].second, "dravo_srv");
}

}  // namespace
}  // namespace dravo::test
