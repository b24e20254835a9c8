#include <sys/resource.h>

#include <csignal>

#include "child_process_posix.h"
#include "track_filter_fixture.h"

namespace dravo::test {
namespace {

TEST_F(TrackFilterTest, CutOffPlaylistHandsTracksOneByOne) {
    apply("");  // loads the cache before the limit
    const auto everything =
        in_cache_order({"Jazz/Live at Blue Note.mp3", "Jazz/studio.mp3", "Blues/live at home.ogg",
                        "Blues/Delta.mp3", varld, ete, "x/a+b.wav"});
    EXPECT_TRUE(in_child([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{60, 60};
        setrlimit(RLIMIT_FSIZE, &limit);
        host.clear();
        apply("*");
        std::vector<Message> expected = {user_msg(op::clear_playlist)};
        for (const auto& path : everything) {
            expected.push_back({msg::copy_data, 0, op::play_file, path});
        }
        return host.messages() == expected;
    }));
}

}  // namespace
}  // namespace dravo::test
