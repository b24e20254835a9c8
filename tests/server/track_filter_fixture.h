#pragma once
// A media folder, the filter over a fake host, and the temporary playlist it writes.
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "command_table.h"
#include "fake_host.h"
#include "media_cache.h"
#include "national_letters.h"
#include "player_control.h"
#include "server_settings.h"
#include "temp_dir.h"
#include "track_filter.h"

namespace dravo::test {

class TrackFilterTest : public ::testing::Test {
protected:
    TrackFilterTest() : tmp_env("TMP", tmp.path().c_str()) {
        settings.edit([&](ServerValues& v) { v.media_root = root.path(); });
        settings.set_file_name(module.slash() + kServerIniName);
        for (const char* name :
             {"Jazz/Live at Blue Note.mp3", "Jazz/studio.mp3", "Blues/live at home.ogg",
              "Blues/Delta.mp3", varld.c_str(), ete.c_str(), "x/a+b.wav"}) {
            write_file(root.slash() + name);
        }
    }

    std::string playlist_path() const { return tmp.slash() + kTempPlaylistName; }
    // A /set_filter request with the raw (still encoded) filter.
    void apply(const std::string& raw) {
        table.run("/set_filter", {{"filter", raw}}, [](const std::string&) {}, {});
    }

    // Cache entries in cache order, so the expectations follow the file system's order.
    std::vector<std::string> in_cache_order(const std::set<std::string>& wanted) {
        std::set<std::string> entries;
        for (const auto& name : wanted) {
            entries.insert(native(name));
        }
        auto held = cache.lock();
        std::vector<std::string> ordered;
        for (std::size_t i = 0; i < cache.size(held); ++i) {
            if (entries.count(std::string(cache.entry(held, i)))) {
                ordered.push_back(root.slash() + std::string(cache.entry(held, i)));
            }
        }
        return ordered;
    }

    std::string crlf_lines(const std::vector<std::string>& lines) {
        std::string bytes;
        for (const auto& line : lines) {
            bytes += line + "\r\n";
        }
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

    // Two names with national letters, in this platform's text.
    const std::string varld = "pop/v" + national_letters().lower_a_diaeresis + "rld.mp3";
    const std::string ete =
        "pop/" + national_letters().lower_e_acute + "t" + national_letters().lower_e_acute + ".mp3";
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

}  // namespace dravo::test
