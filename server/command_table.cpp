#include "command_table.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "media_cache.h"
#include "player_control.h"
#include "remote_protocol.h"
#include "server_settings.h"
#include "text.h"
#include "track_filter.h"
#include "update_command.h"
#include "version.h"

namespace dravo {
namespace {

std::string value_of(const QueryMap& query, std::string_view key) {
    auto found = query.find(std::string(key));
    return found == query.end() ? std::string() : found->second;
}

// percent x 2.55 + 0.5, truncated, in exact arithmetic: 2.55 has no exact binary form, and in
// floating point 50 would give 127 instead of 128. Values past 32 bits give the largest one.
std::uint32_t to_player_volume(std::uint32_t percent) {
    std::uint64_t volume = (std::uint64_t{percent} * 255 + 50) / 100;
    return static_cast<std::uint32_t>(
        std::min<std::uint64_t>(volume, std::numeric_limits<std::uint32_t>::max()));
}

// minutes:seconds; nothing loaded (-1) reads as 0:00.
std::string clock_text(int minutes, int seconds) {
    return to_text(minutes) + ":" + two_digits(seconds);
}

}  // namespace

// Single precision on purpose: with it 0..255 and 0..100 map onto each other exactly.
int to_percent(int player_volume) {
    return static_cast<int>(static_cast<float>(player_volume) * 0.39215687f + 0.5f);
}

CommandTable::CommandTable(CommandEnv env) : env_(env) { add_commands(); }

bool CommandTable::run(const std::string& path, const QueryMap& query, const SendText& send_text,
                       const DeferAnswer& defer) {
    if (auto found = commands_.find(path); found != commands_.end()) {
        found->second(query, send_text);
        return true;
    }
    if (auto found = late_commands_.find(path); found != late_commands_.end()) {
        found->second(query, defer);
        return true;
    }
    return false;
}

std::string CommandTable::current_filter() { return env_.settings.current_filter(); }

void CommandTable::set_filter(const QueryMap& query) {
    if (!env_.filter) {
        return;
    }
    // The query value arrives still percent-encoded.
    const std::string text = percent_decode_lenient(value_of(query, remote::kFilterKey));
    env_.settings.save_current_filter(text);  // a file that cannot be written keeps the old text
    const ServerValues values = env_.settings.values();
    env_.filter->apply(
        text, MediaSource{with_trailing_separator(values.media_root), values.file_extensions});
}

std::string CommandTable::volume_percent() { return to_text(to_percent(env_.player.volume())); }

std::string CommandTable::position_line() {
    int position = env_.player.position_ms();
    int length = env_.player.length_s();
    if (position < 0) {
        position = 0;
    }
    if (length < 0) {
        length = 0;
    }
    return std::string(remote::kNewPosition) + "[" +
           clock_text(position / 60000, position / 1000 % 60) + " / " +
           clock_text(length / 60, length % 60) + "]\n";
}

void CommandTable::mute(const SendText& send) {
    PlayerControl& player = env_.player;
    MuteMemory& memory = env_.mute;
    int volume = player.volume();
    if (!memory.muted || volume != 0) {
        memory.saved_volume = volume;
        player.set_volume(0);
        memory.muted = true;
    } else {
        player.set_volume(static_cast<std::uint32_t>(memory.saved_volume));
        memory.muted = false;
    }
    send(volume_percent());
}

void CommandTable::play(const QueryMap& query) {
    auto track = query.find(std::string(remote::kTrackKey));
    if (track != query.end()) {
        env_.player.stop();
        // Track numbers count from 1; 0 or a value that is not a number gives index -1, out of
        // range like any other bad number.
        env_.player.set_list_pos(static_cast<int>(to_number(track->second) - 1u));
    }
    env_.player.play();
}

int CommandTable::new_mode(const std::string& value, int (PlayerControl::*current)()) {
    if (value == remote::kModeOff) {
        return 0;
    }
    if (value == remote::kModeToggle) {
        return (env_.player.*current)() == 0 ? 1 : 0;
    }
    return 1;
}

void CommandTable::playmode(const QueryMap& query) {
    if (auto value = value_of(query, remote::kRepeatKey); !value.empty()) {
        env_.player.set_repeat(new_mode(value, &PlayerControl::repeat));
    }
    if (auto value = value_of(query, remote::kShuffleKey); !value.empty()) {
        env_.player.set_shuffle(new_mode(value, &PlayerControl::shuffle));
    }
}

void CommandTable::status(const SendText& send) {
    PlayerControl& player = env_.player;
    send(remote::status_line(remote::kPlayingKey, to_text(player.play_state())));
    send(remote::status_line(remote::kRepeatStatusKey, to_text(player.repeat())));
    send(remote::status_line(remote::kShuffleStatusKey, to_text(player.shuffle())));
    send(remote::status_line(remote::kVolumeStatusKey, volume_percent()));
    // A decoded filter may hold line breaks; the answer keeps its five lines.
    send(remote::status_line(remote::kFilterStatusKey, strip_line_breaks(current_filter())));
}

void CommandTable::title(const SendText& send) {
    int state = env_.player.play_state();
    if (state == 0) {
        return;
    }
    if (state == 3) {
        send("[paused] ");
    }
    if (auto text = env_.player.title(env_.player.list_pos())) {
        send(*text);
    }
}

void CommandTable::list(const SendText& send) {
    constexpr std::size_t kNameMax = 511;
    // Lines go out in pieces of about this size: a long playlist would otherwise cost a call
    // and a copy a line.
    constexpr std::size_t kPieceBytes = 64 * 1024;
    int count = env_.player.list_length();
    std::string piece;
    piece.reserve(kPieceBytes + kNameMax + 1);
    for (int i = 0; i < count; ++i) {
        if (!env_.player.append_file_name(i, piece, kNameMax)) {
            continue;
        }
        piece += '\n';
        if (piece.size() < kPieceBytes) {
            continue;
        }
        send(piece);
        piece.clear();
    }
    if (!piece.empty()) {
        send(piece);
    }
}

void CommandTable::add_commands() {
    using Q = const QueryMap&;
    using S = const SendText&;
    PlayerControl& player = env_.player;
    add(remote::kGetFilter, [this](Q, S send) { send(current_filter()); });
    add(remote::kGetPlaying, [&player](Q, S send) { send(to_text(player.play_state())); });
    add(remote::kGetRepeat, [&player](Q, S send) { send(to_text(player.repeat())); });
    add(remote::kGetShuffle, [&player](Q, S send) { send(to_text(player.shuffle())); });
    add(remote::kGetVolume, [this](Q, S send) { send(volume_percent()); });
    add(remote::kFastForward, [this](Q, S send) {
        env_.player.forward_5s();
        send(position_line());
    });
    add(remote::kList, [this](Q, S send) { list(send); });
    add(remote::kMute, [this](Q, S send) { mute(send); });
    add(remote::kNext, [&player](Q, S) { player.next(); });
    add(remote::kPause, [&player](Q, S) { player.pause(); });
    add(remote::kPlay, [this](Q query, S) { play(query); });
    add(remote::kPlayMode, [this](Q query, S) { playmode(query); });
    add(remote::kPrevious, [&player](Q, S) { player.prev(); });
    add(remote::kRewind, [this](Q, S send) {
        env_.player.back_5s();
        send(position_line());
    });
    add(remote::kSetFilter, [this](Q query, S send) {
        set_filter(query);
        send("ok");
    });
    add(remote::kShutdown, [&player](Q, S) { player.close(); });
    add(remote::kStatus, [this](Q, S send) { status(send); });
    add(remote::kStop, [&player](Q, S) { player.stop(); });
    add(remote::kTitle, [this](Q, S send) { title(send); });
    add_late(remote::kUpdate, [this](Q, const DeferAnswer& defer) {
        if (env_.updates) {
            env_.updates->request(defer());
        } else {
            defer()->finish(kUpdateNoVersionInfo);
        }
    });
    add(remote::kVersion, [](Q, S send) { send(kVersionText); });
    add(remote::kVolume, [&player](Q query, S) {
        player.set_volume(to_player_volume(to_number(value_of(query, remote::kVolumeKey))));
    });
}

}  // namespace dravo
