#pragma once
// A host that records every message and answers from a small scripted player state.
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "plugin_abi.h"
#include "plugin_host.h"

namespace dravo::test {

struct Message {
    std::uint32_t message;
    std::uintptr_t wparam;
    std::intptr_t lparam;
    std::string data;  // the path of a copy-data message
    bool posted = false;
    bool operator==(const Message&) const = default;
};

class FakeHost : public PluginHost {
public:
    // Scripted player state, read by the answers.
    int play_state = 0;
    int position_ms = -1;
    int length_s = -1;
    int volume = 0;
    int shuffle = 0;
    int repeat = 0;
    int list_pos = 0;
    std::vector<std::string> files;   // playlist file names
    std::vector<std::string> titles;  // titles, by index; missing ones answer null
    std::string directory = "/plugins/";
    // Called after each sent message is recorded, outside the fake's own lock.
    std::function<void(const Message&)> on_send;

    std::intptr_t send(std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam) override;
    bool post(std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam) override;
    void message_box(const std::string& text, const std::string& caption) override;
    std::string module_directory() const override { return directory; }

    std::vector<Message> messages() const;
    std::vector<std::pair<std::string, std::string>> boxes() const;
    void clear();

private:
    std::intptr_t answer_user(std::uintptr_t wparam, std::intptr_t operation);
    std::intptr_t text_answer(const std::vector<std::string>& list, std::uintptr_t index);

    mutable std::mutex mutex_;
    std::vector<Message> messages_;
    std::vector<std::pair<std::string, std::string>> boxes_;
    std::string text_;  // the last returned text lives here, as in a real host
};

// Shorthands for expected messages.
Message user_msg(std::intptr_t operation, std::uintptr_t wparam = 0);
Message button_msg(std::uintptr_t command);

}  // namespace dravo::test
