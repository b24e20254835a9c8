// The command line.
#include <gtest/gtest.h>

#include "host_options.h"

namespace dravo {
namespace {

TEST(HostOptions, ReadsEveryOption) {
    std::string error;
    const auto options =
        parse_host_options({"--plugins", "/p", "--audio-output", "null", "--state-dir", "/s",
                            "--add", "a.m3u", "--add", "/b.mp3", "--gui", "--clear"},
                           error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->plugin_folder, "/p");
    EXPECT_EQ(options->audio_output, "null");
    EXPECT_EQ(options->state_folder, "/s");
    EXPECT_EQ(options->add_paths, (std::vector<std::string>{"a.m3u", "/b.mp3"}));
    EXPECT_TRUE(options->gui);
    EXPECT_TRUE(options->clear_playlist);
    EXPECT_FALSE(options->help);

    const auto defaults = parse_host_options({}, error);
    ASSERT_TRUE(defaults);
    EXPECT_TRUE(defaults->plugin_folder.empty());
    EXPECT_TRUE(defaults->audio_output.empty());
    EXPECT_FALSE(defaults->gui);
}

TEST(HostOptions, RefusesUnknownOptionsAndMissingValues) {
    std::string error;
    EXPECT_FALSE(parse_host_options({"--volume", "3"}, error));
    EXPECT_NE(error.find("--volume"), std::string::npos);
    EXPECT_FALSE(parse_host_options({"--plugins"}, error));
    EXPECT_NE(error.find("needs a value"), std::string::npos);
    EXPECT_FALSE(parse_host_options({"--state-dir", ""}, error));
    EXPECT_TRUE(parse_host_options({"-h"}, error)->help);
}

}  // namespace
}  // namespace dravo
