#include "track_filter.h"

#include <sys/resource.h>

#include <chrono>
#include <csignal>
#include <future>
#include <set>

#include <gtest/gtest.h>

#include "command_table.h"
#include "fake_host.h"
#include "media_cache.h"
#include "player_control.h"
#include "profile_file.h"
#include "server_settings.h"
#include "child_process_posix.h"
#include "temp_dir.h"
#include "text.h"

namespace dravo::test {
namespace {

using Tokens = std::vector<std::string>;

TEST(TrackFilterText, TokensSplitAtBlanksOutsideQuotesAndAreLowerCased) {
    EXPECT_EQ(TrackFilter::split_tokens("Jazz  BLUES "), (Tokens{"jazz", "blues"}));
    EXPECT_EQ(TrackFilter::split_tokens("\"Blue Note\""), (Tokens{"blue note"}));
    EXPECT_EQ(TrackFilter::split_tokens("-\"live at\" *"), (Tokens{"-live at", "*"}));
    EXPECT_EQ(TrackFilter::split_tokens("a \"b  c"), (Tokens{"a", "b  c"}));
    EXPECT_EQ(TrackFilter::split_tokens("a\tb"), (Tokens{"a\tb"}));
    EXPECT_EQ(TrackFilter::split_tokens("\"\" ab\"\"cd"), (Tokens{"abcd"}));
    EXPECT_EQ(TrackFilter::split_tokens("   "), Tokens{});
    EXPECT_EQ(TrackFilter::split_tokens("V\xC3\x84RLD"), (Tokens{"v\xC3\xA4rld"}));
    EXPECT_EQ(TrackFilter::split_tokens("\xC3\x89T\xC3\x89"), (Tokens{"\xC3\x89t\xC3\x89"}));
}

TEST(TrackFilterText, MatchingByTokenKind) {
    const std::string subject = "jazz/live at blue note.mp3";
    struct Case {
        Tokens tokens;
        bool selected;
    };
    for (const Case& c :
         {Case{{}, true}, Case{{"jazz"}, true}, Case{{"rock"}, false}, Case{{"rock", "note"}, true},
          Case{{"jazz", "+live"}, true}, Case{{"jazz", "+studio"}, false},
          Case{{"jazz", "-live"}, false}, Case{{"*", "-studio"}, true}, Case{{"+live"}, false},
          Case{{"+live", "*"}, true}, Case{{"-"}, false}, Case{{"*", "-"}, false},
          Case{{"+", "jazz"}, true}, Case{{"*"}, true}, Case{{"*jazz"}, false},
          Case{{"-live at", "*"}, false}, Case{{"live at"}, true}})
        EXPECT_EQ(TrackFilter::matches(subject, c.tokens), c.selected)
            << ::testing::PrintToString(c.tokens);
}

class TrackFilterTest : public ::testing::Test {
protected:
    TrackFilterTest() : tmp_env("TMP", tmp.path().c_str()) {
        settings.edit([&](ServerValues& v) { v.media_root = root.path(); });
        settings.set_file_name(module.slash() + kServerIniName);
        for (const char* name :
             {"Jazz/Live at Blue Note.mp3", "Jazz/studio.mp3", "Blues/live at home.ogg",
              "Blues/Delta.mp3", "pop/v\xC3\xA4rld.mp3", "pop/\xC3\xA9t\xC3\xA9.mp3", "x/a+b.wav"})
            write_file(root.slash() + name);
    }

    std::string playlist_path() const { return tmp.slash() + kTempPlaylistName; }
    // A /set_filter request with the raw (still encoded) filter.
    void apply(const std::string& raw) {
        table.run("/set_filter", {{"filter", raw}}, [](const std::string&) {});
    }

    // Cache entries in cache order, so the expectations follow the file system's order.
    std::vector<std::string> in_cache_order(const std::set<std::string>& wanted) {
        auto held = cache.lock();
        std::vector<std::string> ordered;
        for (std::size_t i = 0; i < cache.size(held); ++i)
            if (wanted.count(std::string(cache.entry(held, i))))
                ordered.push_back(root.slash() + std::string(cache.entry(held, i)));
        return ordered;
    }

    std::string crlf_lines(const std::vector<std::string>& lines) {
        std::string bytes;
        for (const auto& line : lines) bytes += line + "\r\n";
        return bytes;
    }

    // Applies the raw filter and checks the exchange: clear, then the temporary playlist.
    void expect_selection(const std::string& raw, const std::set<std::string>& wanted) {
        host.clear();
        apply(raw);
        std::vector<Message> expected = {user_msg(op::clear_playlist),
                                         {msg::copy_data, 0, op::play_file, playlist_path()}};
        EXPECT_EQ(host.messages(), expected) << raw;
        EXPECT_EQ(read_file(playlist_path()), crlf_lines(in_cache_order(wanted))) << raw;
    }

    TempDir root, module, tmp;
    ScopedEnv tmp_env;
    ServerSettings settings;
    FakeHost host;
    PlayerControl player{host};
    MediaCache cache{module.slash()};
    TrackFilter filter{cache, player};
    MuteMemory mute;
    CommandTable table{CommandEnv{host, player, settings, &filter, mute}};
};

TEST_F(TrackFilterTest, SelectsByAlternativesRequirementsAndExclusions) {
    const std::set<std::string> jazz = {"Jazz/Live at Blue Note.mp3", "Jazz/studio.mp3"};
    expect_selection("jazz", jazz);
    expect_selection("JAZZ%20delta",
                     {"Jazz/Live at Blue Note.mp3", "Jazz/studio.mp3", "Blues/Delta.mp3"});
    expect_selection("jazz%20+live", {"Jazz/Live at Blue Note.mp3"});
    expect_selection("jazz%20-live", {"Jazz/studio.mp3"});
    expect_selection("*%20-live", {"Jazz/studio.mp3", "Blues/Delta.mp3", "pop/v\xC3\xA4rld.mp3",
                                   "pop/\xC3\xA9t\xC3\xA9.mp3", "x/a+b.wav"});
    expect_selection("+live", {});
    expect_selection("%22blue%20note%22", {"Jazz/Live at Blue Note.mp3"});
    expect_selection("*%20-%22live%20at%22",
                     {"Jazz/studio.mp3", "Blues/Delta.mp3", "pop/v\xC3\xA4rld.mp3",
                      "pop/\xC3\xA9t\xC3\xA9.mp3", "x/a+b.wav"});
    expect_selection("*%20-", {});
    expect_selection("jazz%20+", jazz);
    expect_selection("mp3", {"Jazz/Live at Blue Note.mp3", "Jazz/studio.mp3", "Blues/Delta.mp3",
                             "pop/v\xC3\xA4rld.mp3", "pop/\xC3\xA9t\xC3\xA9.mp3"});
    expect_selection("a+b", {"x/a+b.wav"});
}

TEST_F(TrackFilterTest, OnlyTheThreeNationalCapitalsAreLowered) {
    expect_selection("V%C3%84RLD", {"pop/v\xC3\xA4rld.mp3"});
    expect_selection("%C3%89T%C3%89", {});
    expect_selection("%C3%A9t%C3%A9", {"pop/\xC3\xA9t\xC3\xA9.mp3"});
}

TEST_F(TrackFilterTest, EmptyFilterSelectsAllAndIsSavedAtOnce) {
    apply("beatles");
    EXPECT_EQ(profile_read_string("Settings", "current_filter", "?", settings.file_name()),
              "beatles");
    expect_selection(
        "", {"Jazz/Live at Blue Note.mp3", "Jazz/studio.mp3", "Blues/live at home.ogg",
             "Blues/Delta.mp3", "pop/v\xC3\xA4rld.mp3", "pop/\xC3\xA9t\xC3\xA9.mp3", "x/a+b.wav"});
    EXPECT_EQ(settings.current_filter(), "");
    EXPECT_EQ(profile_read_string("Settings", "current_filter", "?", settings.file_name()), "");
}

TEST_F(TrackFilterTest, KeepsTheDecodedTextAsCurrentFilter) {
    apply("%22Blue%20Note%22+x");
    EXPECT_EQ(settings.current_filter(), "\"Blue Note\"+x");
    EXPECT_EQ(profile_read_string("Settings", "current_filter", "?", settings.file_name()),
              "\"Blue Note\"+x");
}

TEST_F(TrackFilterTest, SecondFilterReplacesTheFirstSelection) {
    apply("jazz");
    apply("delta");
    EXPECT_EQ(host.files, std::vector<std::string>{playlist_path()});
    EXPECT_EQ(read_file(playlist_path()), crlf_lines(in_cache_order({"Blues/Delta.mp3"})));
    auto sent = host.messages();
    ASSERT_EQ(sent.size(), 4u);
    EXPECT_EQ(sent[2], user_msg(op::clear_playlist));
}

TEST_F(TrackFilterTest, EmptyCacheStillClearsAndHandsAnEmptyPlaylist) {
    settings.edit([&](ServerValues& v) { v.media_root = root.slash() + "missing"; });
    expect_selection("jazz", {});
    EXPECT_EQ(read_file(playlist_path()), "");
}

TEST_F(TrackFilterTest, UnwritablePlaylistHandsTracksOneByOne) {
    ScopedEnv missing("TMP", (tmp.slash() + "no/such/folder").c_str());
    apply("blues");
    std::vector<Message> expected = {user_msg(op::clear_playlist)};
    for (const auto& path : in_cache_order({"Blues/live at home.ogg", "Blues/Delta.mp3"}))
        expected.push_back({msg::copy_data, 0, op::play_file, path});
    EXPECT_EQ(host.messages(), expected);
}

TEST_F(TrackFilterTest, CutOffPlaylistHandsTracksOneByOne) {
    apply("");  // loads the cache before the limit
    const auto everything = in_cache_order(
        {"Jazz/Live at Blue Note.mp3", "Jazz/studio.mp3", "Blues/live at home.ogg",
         "Blues/Delta.mp3", "pop/v\xC3\xA4rld.mp3", "pop/\xC3\xA9t\xC3\xA9.mp3", "x/a+b.wav"});
    EXPECT_TRUE(in_child([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{60, 60};
        setrlimit(RLIMIT_FSIZE, &limit);
        host.clear();
        apply("*");
        std::vector<Message> expected = {user_msg(op::clear_playlist)};
        for (const auto& path : everything)
            expected.push_back({msg::copy_data, 0, op::play_file, path});
        return host.messages() == expected;
    }));
}

TEST_F(TrackFilterTest, WithoutTmpThePlaylistLiesInTheCurrentFolder) {
    TempDir cwd_dir;
    ScopedCwd cwd(cwd_dir.path());
    for (const char* value : {static_cast<const char*>(nullptr), ""}) {
        ScopedEnv unset("TMP", value);
        host.clear();
        apply("delta");
        std::vector<Message> expected = {user_msg(op::clear_playlist),
                                         {msg::copy_data, 0, op::play_file, kTempPlaylistName}};
        EXPECT_EQ(host.messages(), expected);
        EXPECT_EQ(read_file(cwd_dir.slash() + kTempPlaylistName),
                  crlf_lines(in_cache_order({"Blues/Delta.mp3"})));
    }
}

// The host's thread may refresh the cache while the player handles a message of the filter:
// the filter must have let go of the cache by then, or the two threads would wait on each other.
TEST_F(TrackFilterTest, TalksToTheHostWithoutHoldingTheCache) {
    std::vector<bool> refreshed;
    std::vector<std::future<void>> pending;  // outlives apply, so a failure cannot hang here
    host.on_send = [&](const Message&) {
        pending.push_back(std::async(std::launch::async, [&] {
            cache.refresh({with_trailing_separator(settings.media_root()), "mp3"});
        }));
        refreshed.push_back(pending.back().wait_for(std::chrono::seconds(5)) ==
                            std::future_status::ready);
    };
    apply("jazz");
    EXPECT_EQ(refreshed, (std::vector<bool>{true, true}));
    host.on_send = nullptr;
}

}  // namespace
}  // namespace dravo::test
