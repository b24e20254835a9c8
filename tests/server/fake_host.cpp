#include "fake_host.h"

namespace dravo::test {

std::intptr_t FakeHost::send(std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam) {
    Message m{message, wparam, lparam, {}, false};
    std::intptr_t result = 0;
    {
        std::lock_guard lock(mutex_);
        if (message == msg::copy_data) {
            auto* record = reinterpret_cast<const CopyDataRecord*>(lparam);
            m.data = static_cast<const char*>(record->lpData);
            m.lparam = static_cast<std::intptr_t>(record->dwData);
            if (record->dwData == op::play_file) {
                files.push_back(m.data);
            }
        }
        messages_.push_back(m);
        if (message == msg::user) {
            result = answer_user(wparam, lparam);
        }
    }
    if (on_send) {
        on_send(m);
    }
    return result;
}

std::intptr_t FakeHost::answer_user(std::uintptr_t wparam, std::intptr_t operation) {
    switch (operation) {
        case op::clear_playlist:
            files.clear();
            titles.clear();
            return 0;
        case op::play_state:
            return play_state;
        case op::output_time:
            return wparam == 0 ? position_ms : length_s;
        case op::set_list_pos:
            list_pos = static_cast<int>(wparam);
            return 0;
        case op::volume:
            if (wparam == op::volume_query) {
                return volume;
            }
            volume = static_cast<int>(wparam);
            return 0;
        case op::list_length:
            return static_cast<std::intptr_t>(files.size());
        case op::list_pos:
            return list_pos;
        case op::file_name:
            return text_answer(files, wparam);
        case op::title:
            return text_answer(titles, wparam);
        case op::get_shuffle:
            return shuffle;
        case op::get_repeat:
            return repeat;
        case op::set_shuffle:
            shuffle = static_cast<int>(wparam);
            return 0;
        case op::set_repeat:
            repeat = static_cast<int>(wparam);
            return 0;
        default:
            return 0;
    }
}

std::intptr_t FakeHost::text_answer(const std::vector<std::string>& list, std::uintptr_t index) {
    if (index >= list.size()) {
        return 0;
    }
    text_ = list[index];
    return reinterpret_cast<std::intptr_t>(text_.c_str());
}

bool FakeHost::post(std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam) {
    std::lock_guard lock(mutex_);
    messages_.push_back({message, wparam, lparam, {}, true});
    return true;
}

void FakeHost::message_box(const std::string& text, const std::string& caption) {
    std::lock_guard lock(mutex_);
    boxes_.emplace_back(text, caption);
}

std::vector<Message> FakeHost::messages() const {
    std::lock_guard lock(mutex_);
    return messages_;
}

std::vector<std::pair<std::string, std::string>> FakeHost::boxes() const {
    std::lock_guard lock(mutex_);
    return boxes_;
}

void FakeHost::clear() {
    std::lock_guard lock(mutex_);
    messages_.clear();
    boxes_.clear();
}

Message user_msg(std::intptr_t operation, std::uintptr_t wparam) {
    return {msg::user, wparam, operation, {}, false};
}

Message button_msg(std::uintptr_t command) { return {msg::command, command, 0, {}, false}; }

}  // namespace dravo::test
