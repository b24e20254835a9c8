// The media-player interface against a recording server: the requests each bus call sends and
// the properties it reports as changed.
#include <cmath>

#include "client_fixture.h"
#include "media_player_bridge.h"

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
    EXPECT_EQ(bridge.changed().size(), 4u);
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

}  // namespace
}  // namespace dravo::test
