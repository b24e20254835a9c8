#include "stub_player.h"

#include <algorithm>
#include <fstream>

#include "plugin_abi.h"

namespace dravo::stub {
namespace {

constexpr int kTrackLengthS = 180;  // every track of the stand-in lasts three minutes

bool ends_with(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

std::intptr_t StubPlayer::answer(std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam,
                                 bool& handled) {
    handled = true;
    if (message == msg::command) {
        return button(wparam);
    }
    if (message == msg::user) {
        return operation(lparam, wparam);
    }
    if (message == msg::copy_data) {
        const auto* data = reinterpret_cast<const CopyDataRecord*>(lparam);
        if (!data || data->dwData != op::play_file || !data->lpData || data->cbData == 0) {
            return 0;
        }
        // The length counts the zero byte; a record without one is cut at its length.
        const auto* text = static_cast<const char*>(data->lpData);
        std::string path(text, data->cbData);
        path.resize(path.find('\0') == std::string::npos ? path.size() : path.find('\0'));
        add_file(path);
        return 1;
    }
    handled = false;
    return 0;
}

std::intptr_t StubPlayer::button(std::uintptr_t id) {
    const std::size_t count = files_.size();
    if (id == button::play && count > 0) {
        state_ = 1;
    } else if (id == button::pause && state_ != 0) {
        state_ = state_ == 3 ? 1 : 3;
    } else if (id == button::stop) {
        state_ = 0;
        position_ms_ = 0;
    } else if ((id == button::next || id == button::prev) && count > 0) {
        current_ = (current_ + (id == button::next ? 1 : count - 1)) % count;
        position_ms_ = 0;
    } else if (id == button::forward_5s && state_ != 0) {
        position_ms_ = std::min(position_ms_ + 5000, kTrackLengthS * 1000);
    } else if (id == button::back_5s && state_ != 0) {
        position_ms_ = std::max(position_ms_ - 5000, 0);
    }
    return 0;
}

std::intptr_t StubPlayer::operation(std::intptr_t op, std::uintptr_t argument) {
    const bool loaded = state_ != 0 && current_ < files_.size();
    switch (op) {
        case op::clear_playlist:
            files_.clear();
            current_ = 0;
            state_ = 0;
            return 0;
        case op::play_state:
            return state_;
        case op::output_time:
            if (!loaded) {
                return -1;
            }
            return argument == 0 ? position_ms_ : kTrackLengthS;
        case op::jump_to_time:
            if (!loaded) {
                return -1;
            }
            if (argument >= static_cast<std::uintptr_t>(kTrackLengthS) * 1000) {
                return 1;
            }
            position_ms_ = static_cast<int>(argument);
            return 0;
        case op::set_list_pos:
            if (argument < files_.size()) {
                current_ = argument;
            }
            return 0;
        case op::volume:
            if (argument == op::volume_query) {
                return volume_;
            }
            volume_ = static_cast<int>(argument > 255 ? 255 : argument);
            return 0;
        case op::list_length:
            return static_cast<std::intptr_t>(files_.size());
        case op::list_pos:
            return static_cast<std::intptr_t>(current_);
        case op::file_name:
            return argument < files_.size()
                       ? reinterpret_cast<std::intptr_t>(files_[argument].c_str())
                       : 0;
        case op::title:
            return reinterpret_cast<std::intptr_t>(title_of(argument));
        case op::get_shuffle:
            return shuffle_;
        case op::get_repeat:
            return repeat_;
        case op::set_shuffle:
            shuffle_ = argument != 0;
            return 0;
        case op::set_repeat:
            repeat_ = argument != 0;
            return 0;
        default:
            return 0;
    }
}

// A playlist file adds its lines; anything else is one entry.
void StubPlayer::add_file(const std::string& path) {
    if (!ends_with(path, ".m3u")) {
        files_.push_back(path);
        return;
    }
    std::ifstream in(path, std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (!line.empty() && line[0] != '#') {
            files_.push_back(line);
        }
    }
}

// The file name without its folder and extension.
const char* StubPlayer::title_of(std::size_t index) {
    if (index >= files_.size()) {
        return nullptr;
    }
    const std::string& file = files_[index];
    const auto start = file.find_last_of("\\/") + 1;
    const auto dot = file.rfind('.');
    title_ = file.substr(start,
                         dot == std::string::npos || dot < start ? std::string::npos : dot - start);
    return title_.c_str();
}

}  // namespace dravo::stub
