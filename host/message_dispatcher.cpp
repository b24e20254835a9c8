#include "message_dispatcher.h"

#include <cstring>

#include "playlist_files.h"
#include "plugin_abi.h"

namespace dravo {

namespace {

// Window-message arguments carry an index as an unsigned word; anything past int is out of range.
int as_index(std::uintptr_t argument) {
    return argument > 0x7fffffffU ? -1 : static_cast<int>(argument);
}

}  // namespace

Reply MessageDispatcher::dispatch(const Message& message, bool posted) {
    switch (message.message) {
        case msg::command:
            return button(message.wparam);
        case msg::user:
            return user(message.wparam, message.lparam);
        case msg::copy_data:
            return copy_data(message.lparam, posted);
        case msg::close:
            on_close_();
            return {};
        default:
            return {};
    }
}

Reply MessageDispatcher::button(std::uintptr_t command) {
    // The command identifier is the low word; the high word is a notification code.
    switch (command & 0xffffU) {
        case button::prev:
            model_.previous();
            break;
        case button::play:
            model_.play();
            break;
        case button::pause:
            model_.pause();
            break;
        case button::stop:
            model_.stop();
            break;
        case button::next:
            model_.next();
            break;
        case button::forward_5s:
            model_.forward_5s();
            break;
        case button::back_5s:
            model_.back_5s();
            break;
        default:
            break;
    }
    return {};
}

Reply MessageDispatcher::user(std::uintptr_t argument, std::intptr_t operation) {
    switch (operation) {
        case op::clear_playlist:
            model_.clear();
            return {};
        case op::play_state:
            return {static_cast<std::intptr_t>(model_.state()), {}};
        case op::output_time:
            if (argument == 0) {
                return {model_.position_ms(), {}};
            }
            return {argument == 1 ? model_.length_s() : -1, {}};
        case op::jump_to_time:
            return {model_.seek_to(as_index(argument)), {}};
        case op::set_list_pos:
            model_.set_current(as_index(argument));
            return {};
        case op::volume:
            if (argument == op::volume_query) {
                return {model_.volume(), {}};
            }
            model_.set_volume(argument > kVolumeMax ? kVolumeMax : static_cast<int>(argument));
            return {};
        case op::list_length:
            return {model_.size(), {}};
        case op::list_pos:
            return {model_.current(), {}};
        case op::file_name:
            return text_of(model_.file_name(as_index(argument)));
        case op::title:
            return text_of(model_.title(as_index(argument)));
        case op::get_shuffle:
            return {model_.shuffle() ? 1 : 0, {}};
        case op::get_repeat:
            return {model_.repeat() ? 1 : 0, {}};
        case op::set_shuffle:
            model_.set_shuffle(argument != 0);
            return {};
        case op::set_repeat:
            model_.set_repeat(argument != 0);
            return {};
        default:
            return {};
    }
}

Reply MessageDispatcher::copy_data(std::intptr_t record_address, bool posted) {
    // A posted record may be gone by now: only a waiting sender's memory is safe to read.
    if (posted || record_address == 0) {
        return {};
    }
    const auto* record = reinterpret_cast<const CopyDataRecord*>(record_address);
    if (record->dwData != op::play_file || record->lpData == nullptr || record->cbData == 0) {
        return {};
    }
    // Read no further than cbData, whether or not the sender put a zero byte inside it.
    const auto* bytes = static_cast<const char*>(record->lpData);
    const void* zero = std::memchr(bytes, 0, record->cbData);
    const std::size_t length =
        zero != nullptr ? static_cast<std::size_t>(static_cast<const char*>(zero) - bytes)
                        : record->cbData;
    const std::string path(bytes, length);
    if (path.empty()) {
        return {};
    }
    model_.add(expand_entry(path));
    return {1, {}};
}

Reply MessageDispatcher::text_of(const std::string* text) const {
    if (text == nullptr) {
        return {};
    }
    return {0, *text};
}

std::optional<SnapshotAnswer> SnapshotReader::read(const Message& message) const {
    if (message.message != msg::user) {
        return std::nullopt;
    }
    const std::uintptr_t argument = message.wparam;
    const auto number = [](std::intptr_t value) { return SnapshotAnswer{value, nullptr}; };
    switch (message.lparam) {
        case op::play_state:
            return number(static_cast<std::intptr_t>(board_.read_latest().state));
        case op::output_time: {
            if (argument > 1) {
                return number(-1);
            }
            // The engine answers for the track it holds now; the state says whether that counts.
            const PlayState state = board_.read_latest().state;
            return number(argument == 0 ? position_answer(state, engine_.position_ms())
                                        : length_answer(state, engine_.length_ms()));
        }
        case op::volume:
            if (argument != op::volume_query) {
                return std::nullopt;
            }
            return number(board_.read_latest().volume);
        case op::list_length:
            return number(static_cast<std::intptr_t>(board_.read_latest().playlist.size()));
        case op::list_pos:
            return number(board_.read_latest().current);
        case op::get_shuffle:
            return number(board_.read_latest().shuffle ? 1 : 0);
        case op::get_repeat:
            return number(board_.read_latest().repeat ? 1 : 0);
        case op::file_name:
        case op::title:
            return entry_text(board_.read_latest(), message.lparam, argument);
        default:
            return std::nullopt;
    }
}

std::optional<SnapshotAnswer> SnapshotReader::entry_text(const PlayerSnapshot& snapshot,
                                                         std::intptr_t operation,
                                                         std::uintptr_t argument) const {
    const int index = as_index(argument);
    const PlaylistEntry* entry =
        index < 0 ? nullptr : snapshot.playlist.entry(static_cast<std::size_t>(index));
    if (entry == nullptr) {
        return SnapshotAnswer{};
    }
    if (operation == op::file_name) {
        return SnapshotAnswer{0, entry->path.c_str()};
    }
    // Tags are read on the main thread only, the first time a title is asked for.
    const std::string* title = entry->title.load(std::memory_order_acquire);
    if (title == nullptr) {
        return std::nullopt;
    }
    return SnapshotAnswer{0, title->c_str()};
}

}  // namespace dravo
