#pragma once
// Turns one window message of a plug-in into a player-model call and its result.
// MessageDispatcher: the main-thread queue calls dispatch on the host's main thread.
// SnapshotReader: answers the read-only messages on the calling thread, any thread, from what
// the model last published; everything else is left to the dispatcher.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "audio_engine.h"
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

// What the snapshot answered: a number, or a text. A text lies in the playlist of the snapshot
// the reading thread keeps (SnapshotBoard::read_latest), which stays alive until that thread's
// next read: no copy per entry. A missing text (the null pointer) is the number 0.
struct SnapshotAnswer {
    std::intptr_t value = 0;
    const char* text = nullptr;
};

class SnapshotReader {
public:
    SnapshotReader(const SnapshotBoard& board, const AudioEngine& engine)
        : board_(board), engine_(engine) {}

    // nullopt: the message changes something, or needs the main thread (a title not read from
    // its file yet); send it through the queue instead. Results equal the dispatcher's.
    std::optional<SnapshotAnswer> read(const Message& message) const;

private:
    std::optional<SnapshotAnswer> entry_text(const PlayerSnapshot& snapshot,
                                             std::intptr_t operation,
                                             std::uintptr_t argument) const;

    const SnapshotBoard& board_;
    const AudioEngine& engine_;
};

}  // namespace dravo
