#include "player_control.h"

#include <cstring>

#include "plugin_abi.h"
#include "plugin_host.h"

namespace dravo {

std::intptr_t PlayerControl::user(std::intptr_t operation, std::uintptr_t argument) {
    return host_.send(msg::user, argument, operation);
}

void PlayerControl::button(std::uintptr_t command) { host_.send(msg::command, command, 0); }

std::optional<std::string> PlayerControl::text(std::intptr_t operation, int index) {
    // The text lives in the host's memory only until its next message: copy it now.
    auto result = user(operation, static_cast<std::uintptr_t>(index));
    if (result == 0) {
        return std::nullopt;
    }
    return std::string(reinterpret_cast<const char*>(result));
}

void PlayerControl::prev() { button(button::prev); }
void PlayerControl::play() { button(button::play); }
void PlayerControl::pause() { button(button::pause); }
void PlayerControl::stop() { button(button::stop); }
void PlayerControl::next() { button(button::next); }
void PlayerControl::forward_5s() { button(button::forward_5s); }
void PlayerControl::back_5s() { button(button::back_5s); }

void PlayerControl::clear_playlist() { user(op::clear_playlist); }
int PlayerControl::play_state() { return static_cast<int>(user(op::play_state)); }
int PlayerControl::position_ms() { return static_cast<int>(user(op::output_time, 0)); }
int PlayerControl::length_s() { return static_cast<int>(user(op::output_time, 1)); }
int PlayerControl::jump_to_ms(int position_ms) {
    return static_cast<int>(user(op::jump_to_time, static_cast<std::uintptr_t>(position_ms)));
}
void PlayerControl::set_list_pos(int index) {
    user(op::set_list_pos, static_cast<std::uintptr_t>(index));
}
int PlayerControl::volume() { return static_cast<int>(user(op::volume, op::volume_query)); }
void PlayerControl::set_volume(std::uint32_t player_volume) { user(op::volume, player_volume); }
int PlayerControl::list_length() { return static_cast<int>(user(op::list_length)); }
int PlayerControl::list_pos() { return static_cast<int>(user(op::list_pos)); }
std::optional<std::string> PlayerControl::file_name(int index) {
    return text(op::file_name, index);
}
bool PlayerControl::append_file_name(int index, std::string& out, std::size_t max_bytes) {
    auto result = user(op::file_name, static_cast<std::uintptr_t>(index));
    if (result == 0) {
        return false;
    }
    const char* name = reinterpret_cast<const char*>(result);
    out.append(name, strnlen(name, max_bytes));
    return true;
}
std::optional<std::string> PlayerControl::title(int index) { return text(op::title, index); }
int PlayerControl::shuffle() { return static_cast<int>(user(op::get_shuffle)); }
int PlayerControl::repeat() { return static_cast<int>(user(op::get_repeat)); }
void PlayerControl::set_shuffle(int state) {
    user(op::set_shuffle, static_cast<std::uintptr_t>(state));
}
void PlayerControl::set_repeat(int state) {
    user(op::set_repeat, static_cast<std::uintptr_t>(state));
}

void PlayerControl::add_file(const std::string& path) {
    std::string copy = path;  // the record points at a zero-terminated buffer of ours
    CopyDataRecord record{op::play_file, static_cast<std::uint32_t>(copy.size() + 1), copy.data()};
    host_.send(msg::copy_data, 0, reinterpret_cast<std::intptr_t>(&record));
}

bool PlayerControl::close() { return host_.post(msg::close, 0, 0); }

}  // namespace dravo
