#pragma once
// Turns one window message of a plug-in into a player-model call and its result.
// No threads here: the main-thread queue calls dispatch on the host's main thread.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "player_model.h"

namespace dravo {

struct Message {
    std::uint32_t message = 0;
    std::uintptr_t wparam = 0;
    std::intptr_t lparam = 0;
};

// A result: a number, or for the text queries a text (nullopt: the null pointer).
struct Reply {
    std::intptr_t value = 0;
    std::optional<std::string> text;
};

class MessageDispatcher {
public:
    using CloseRequest = std::function<void()>;

    MessageDispatcher(PlayerModel& model, CloseRequest on_close)
        : model_(model), on_close_(std::move(on_close)) {}

    // posted: the sender is not waiting, so pointers it passed are not to be trusted.
    Reply dispatch(const Message& message, bool posted);

private:
    Reply button(std::uintptr_t command);
    Reply user(std::uintptr_t argument, std::intptr_t operation);
    Reply copy_data(std::intptr_t record_address, bool posted);
    Reply text_of(const std::string* text) const;

    PlayerModel& model_;
    CloseRequest on_close_;
};

}  // namespace dravo
