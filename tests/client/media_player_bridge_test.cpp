// The media-player interface against a recording server: the requests each bus call sends and
// the properties it reports as changed.
#include <cmath>

#include "client_fixture.h"
#include "media_player_bridge.h"
#include "server_state.h"

namespace dravo::test {
namespace {

class BridgeFixture : public ClientFixture {
protected:
    BridgeFixture() {
        serve_player();
        for (int volume : {75, 100}) {
            server.set_reply("/volume?volume=" + std::to_string(volume), {200, ""});
        }
    }

    int shown = 0;  // raise calls
};

using BridgeCall = std::function<void(MediaPlayerBridge&)>;
struct BridgeCase {
    const char* name;
    BridgeCall call;
    Targets targets;
    bool shows_window = false;
};

void PrintTo(const BridgeCase& c, std::ostream* out) { *out << c.name; }

const BridgeCase kBridgeCases[] = {
    {"next", [](auto& b) { b.next(); }, kNext},
    {"previous", [](auto& b) { b.previous(); }, kPrev},
    {"play", [](auto& b) { b.play(); }, kPlay},
    {"pause", [](auto& b) { b.pause(); }, kPause},
    {"play_pause", [](auto& b) { b.play_pause(); }, kPlay},
    {"stop", [](auto& b) { b.stop(); }, kStop},
    {"seek_forward", [](auto& b) { b.seek(5000000); }, kForward},
    {"seek_back", [](auto& b) { b.seek(-1); }, kBack},
    {"seek_nowhere", [](auto& b) { b.seek(0); }, kNone},
    {"seek_nearest_steps",
     [](auto& b) { b.seek(-12600000); },
     {"/rewind", "/rewind", "/rewind", "/title"}},
    {"set_position_needs_the_api", [](auto& b) { b.set_position(kNoTrackId, 1000000); }, kNone},
    {"loop_playlist", [](auto& b) { b.set_loop_status("Playlist"); }, {"/playmode?repeat=on"}},
    {"loop_track_repeats_the_list",
     [](auto& b) { b.set_loop_status("Track"); },
     {"/playmode?repeat=on"}},
    {"loop_none", [](auto& b) { b.set_loop_status("None"); }, {"/playmode?repeat=off"}},
    {"loop_unknown", [](auto& b) { b.set_loop_status("Once"); }, kNone},
    {"raise", [](auto& b) { b.raise(); }, kNone, true},
    {"volume", [](auto& b) { b.set_volume(0.75); }, volume_to(75)},
    {"volume_above_one", [](auto& b) { b.set_volume(1e300); }, volume_to(100)},
    {"volume_nan", [](auto& b) { b.set_volume(std::nan("")); }, kNone},
    {"shuffle_on", [](auto& b) { b.set_shuffle(true); }, kShuffle},
    {"shuffle_already_off", [](auto& b) { b.set_shuffle(false); }, kNone},
};

class MediaPlayerBridgeTest : public BridgeFixture,
                              public ::testing::WithParamInterface<BridgeCase> {};

TEST_P(MediaPlayerBridgeTest, RunsTheMatchingKeysOperation) {
    MediaPlayerBridge bridge(session(), [this] { ++shown; });
    GetParam().call(bridge);
    EXPECT_EQ(server.targets(), GetParam().targets);
    EXPECT_EQ(shown, GetParam().shows_window ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Calls, MediaPlayerBridgeTest, ::testing::ValuesIn(kBridgeCases),
                         CaseName());

TEST_F(BridgeFixture, BridgeReportsWhatChanged) {
    using P = MediaPlayerProperty;
    MediaPlayerBridge bridge(session(), [this] { ++shown; });
    EXPECT_EQ(bridge.changed().size(), 5u);
    EXPECT_TRUE(bridge.changed().empty());
    bridge.next();
    EXPECT_EQ(bridge.changed(), std::vector<P>{P::metadata});
    EXPECT_EQ(bridge.state().title, "A - B");
    EXPECT_NE(bridge.state().track_id, kNoTrackId);
    bridge.play();
    bridge.set_shuffle(true);
    EXPECT_EQ(bridge.changed(), (std::vector<P>{P::playback_status, P::shuffle}));
    EXPECT_EQ(bridge.state().playback_status, "Playing");
    bridge.pause();
    EXPECT_EQ(bridge.state().playback_status, "Paused");
    bridge.stop();
    EXPECT_EQ(bridge.state().playback_status, "Stopped");
}

// With the state API: the pushed position runs on, seeks go to the place, jumps are told.
class ApiBridgeFixture : public BridgeFixture {
protected:
    void push(int revision, int position_ms, std::int64_t read_ms, const char* play = "playing") {
        ServerState pushed;
        pushed.revision = static_cast<std::uint64_t>(revision);
        pushed.play_state = play;
        pushed.position_ms = position_ms;
        pushed.read_ms = read_ms;
        pushed.length_s = 100;
        pushed.file = "/m/a b.mp3";
        session().set_api_offered(server.base_url(), true);
        session().take_pushed_state(server.base_url(), pushed);
    }
    Targets sent_since(std::size_t before) const {
        const auto all = server.targets();
        return Targets(all.begin() + static_cast<std::ptrdiff_t>(before), all.end());
    }

    std::int64_t now_ms = 10000;
    MediaPlayerBridge bridge{session(), {}, [this] { return now_ms; }};
};

struct ApiCase {
    const char* name;
    BridgeCall call;
    Targets targets;
};
void PrintTo(const ApiCase& c, std::ostream* out) { *out << c.name; }

const ApiCase kApiCases[] = {
    {"seek_ahead", [](auto& b) { b.seek(5000000); }, {"/api/seek?ms=26000"}},
    {"seek_before_the_start", [](auto& b) { b.seek(-30000000); }, {"/api/seek?ms=0"}},
    {"seek_past_the_end", [](auto& b) { b.seek(90000000); }, kNext},
    {"set_position",
     [](auto& b) { b.set_position(b.state().track_id, 50000000); },
     {"/api/seek?ms=50000"}},
    {"set_position_of_another_track", [](auto& b) { b.set_position(kNoTrackId, 50000000); }, kNone},
    {"set_position_past_the_end", [](auto& b) { b.set_position(b.state().track_id, 100000001); },
     kNone},
};

class ApiBridgeTest : public ApiBridgeFixture, public ::testing::WithParamInterface<ApiCase> {};

TEST_P(ApiBridgeTest, SeeksToThePlaceThroughTheApi) {
    push(1, 20000, 9000);  // 21 s by now
    const auto before = server.targets().size();
    GetParam().call(bridge);
    EXPECT_EQ(sent_since(before), GetParam().targets);
}

INSTANTIATE_TEST_SUITE_P(Calls, ApiBridgeTest, ::testing::ValuesIn(kApiCases), CaseName());

TEST_F(ApiBridgeFixture, ThePositionRunsOnWhilePlayingAndAJumpIsTold) {
    using P = MediaPlayerProperty;
    EXPECT_EQ(bridge.position_us(), 0);  // no API yet: as before
    EXPECT_EQ(bridge.state().length_us, -1);
    push(1, 20000, 9000);
    EXPECT_EQ(bridge.position_us(), 21000000);
    EXPECT_EQ(bridge.state().length_us, 100000000);
    EXPECT_EQ(bridge.state().url, "file:///m/a%20b.mp3");
    bridge.changed();
    push(2, 23000, 12000);  // played on
    EXPECT_TRUE(bridge.changed().empty());
    push(3, 60000, 13000);
    EXPECT_EQ(bridge.changed(), std::vector<P>{P::seeked});
    push(4, 60000, 14000, "paused");
    now_ms = 20000;
    EXPECT_EQ(bridge.position_us(), 60000000);
    push(5, 99000, 20000);
    now_ms = 30000;
    EXPECT_EQ(bridge.position_us(), 100000000);  // never past the length
    session().set_api_offered(server.base_url(), false);
    EXPECT_EQ(bridge.position_us(), 0);
}

}  // namespace
}  // namespace dravo::test
