#pragma once
// The host window a plug-in receives in its record's hwndParent: the C record with send, post
// and message_box, bound to the main-thread queue. The record's functions may be called from
// any thread. A send that only reads is answered on the sender's thread from the model's
// snapshot; any other waits for the main thread. Texts answered to a send stay valid until the
// same thread's next send.
#include <functional>
#include <string>

#include "main_thread_queue.h"
#include "host_window_record.h"
#include "plugin_abi.h"

namespace dravo {

class HostWindow {
public:
    // Shows or logs a message box; called from any thread, must return at once.
    using MessageBoxSink = std::function<void(const std::string& text, const std::string& caption)>;

    HostWindow(MainThreadQueue& queue, const SnapshotReader& reader, MessageBoxSink message_box);
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    HostWindowRecord* record() { return &record_; }

private:
    static std::intptr_t send(void* context, std::uint32_t message, std::uintptr_t wparam,
                              std::intptr_t lparam);
    static std::int32_t post(void* context, std::uint32_t message, std::uintptr_t wparam,
                             std::intptr_t lparam);
    static std::int32_t message_box(void* context, const char* text, const char* caption,
                                    std::uint32_t style);

    MainThreadQueue& queue_;
    const SnapshotReader& reader_;
    MessageBoxSink message_box_;
    HostWindowRecord record_{};
};

// One line for standard error: "caption: text" with line breaks turned into blanks.
std::string message_box_line(const std::string& text, const std::string& caption);

}  // namespace dravo
