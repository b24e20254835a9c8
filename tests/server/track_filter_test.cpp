#include "track_filter.h"

#include <chrono>
#include <future>

#include "profile_file.h"
#include "track_filter_fixture.h"

namespace dravo::test {
namespace {

using Tokens = std::vector<std::string>;

// Every byte as %XX, as a browser sends letters outside ASCII.
std::string percent(const std::string& bytes) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes) {
        out += {'%', hex[c >> 4], hex[c & 15]};
    }
    return out;
}

TEST(TrackFilterText, TokensSplitAtBlanksOutsideQuotesAndAreLowerCased) {
    EXPECT_EQ(TrackFilter::split_tokens("Jazz  BLUES "), (Tokens{"jazz", "blues"}));
    EXPECT_EQ(TrackFilter::split_tokens("\"Blue Note\""), (Tokens{"blue note"}));
    EXPECT_EQ(TrackFilter::split_tokens("-\"live at\" *"), (Tokens{"-live at", "*"}));
    EXPECT_EQ(TrackFilter::split_tokens("a \"b  c"), (Tokens{"a", "b  c"}));
    EXPECT_EQ(TrackFilter::split_tokens("a\tb"), (Tokens{"a\tb"}));
    EXPECT_EQ(TrackFilter::split_tokens("\"\" ab\"\"cd"), (Tokens{"abcd"}));
    EXPECT_EQ(TrackFilter::split_tokens("   "), Tokens{});
    const auto& [A, a, E, e] = national_letters();
    EXPECT_EQ(TrackFilter::split_tokens("V" + A + "RLD"), (Tokens{"v" + a + "rld"}));
    EXPECT_EQ(TrackFilter::split_tokens(E + "T" + E), (Tokens{E + "t" + E}));
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
          Case{{"-live at", "*"}, false}, Case{{"live at"}, true}}) {
        EXPECT_EQ(TrackFilter::matches(subject, c.tokens), c.selected)
            << ::testing::PrintToString(c.tokens);
    }
}

TEST_F(TrackFilterTest, SelectsByAlternativesRequirementsAndExclusions) {
    const std::set<std::string> jazz = {"Jazz/Live at Blue Note.mp3", "Jazz/studio.mp3"};
    expect_selection("jazz", jazz);
    expect_selection("JAZZ%20delta",
                     {"Jazz/Live at Blue Note.mp3", "Jazz/studio.mp3", "Blues/Delta.mp3"});
    expect_selection("jazz%20+live", {"Jazz/Live at Blue Note.mp3"});
    expect_selection("jazz%20-live", {"Jazz/studio.mp3"});
    expect_selection("*%20-live", {"Jazz/studio.mp3", "Blues/Delta.mp3", varld, ete, "x/a+b.wav"});
    expect_selection("+live", {});
    expect_selection("%22blue%20note%22", {"Jazz/Live at Blue Note.mp3"});
    expect_selection("*%20-%22live%20at%22",
                     {"Jazz/studio.mp3", "Blues/Delta.mp3", varld, ete, "x/a+b.wav"});
    expect_selection("*%20-", {});
    expect_selection("jazz%20+", jazz);
    expect_selection(
        "mp3", {"Jazz/Live at Blue Note.mp3", "Jazz/studio.mp3", "Blues/Delta.mp3", varld, ete});
    expect_selection("a+b", {"x/a+b.wav"});
}

TEST_F(TrackFilterTest, OnlyTheThreeNationalCapitalsAreLowered) {
    const auto& [A, a, E, e] = national_letters();
    expect_selection("V" + percent(A) + "RLD", {varld});
    expect_selection(percent(E) + "T" + percent(E), {});
    expect_selection(percent(e) + "t" + percent(e), {ete});
}

TEST_F(TrackFilterTest, EmptyFilterSelectsAllAndIsSavedAtOnce) {
    apply("beatles");
    EXPECT_EQ(profile_read_string("Settings", "current_filter", "?", settings.file_name()),
              "beatles");
    expect_selection("", {"Jazz/Live at Blue Note.mp3", "Jazz/studio.mp3", "Blues/live at home.ogg",
                          "Blues/Delta.mp3", varld, ete, "x/a+b.wav"});
    EXPECT_EQ(settings.current_filter(), "");
    EXPECT_EQ(profile_read_string("Settings", "current_filter", "?", settings.file_name()), "");
}

TEST_F(TrackFilterTest, KeepsTheDecodedTextAsCurrentFilter) {
    apply("%22Blue%20Note%22+x");
    EXPECT_EQ(settings.current_filter(), "\"Blue Note\"+x");
    EXPECT_EQ(profile_read_string("Settings", "current_filter", "?", settings.file_name()),
              "\"Blue Note\"+x");
    // Quotes around the whole text are the filter's (Windows' profile read would strip them).
    apply("%22live%20at%22");
    ServerSettings reloaded;
    ASSERT_TRUE(reloaded.load(settings.file_name()));
    EXPECT_EQ(reloaded.current_filter(), "\"live at\"");
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
    for (const auto& path : in_cache_order({"Blues/live at home.ogg", "Blues/Delta.mp3"})) {
        expected.push_back({msg::copy_data, 0, op::play_file, path});
    }
    EXPECT_EQ(host.messages(), expected);
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
