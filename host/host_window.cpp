#include "host_window.h"

#include <exception>

namespace dravo {

namespace {

constexpr std::int32_t kButtonOk = 1;

}  // namespace

HostWindow::HostWindow(MainThreadQueue& queue, const SnapshotReader& reader,
                       MessageBoxSink message_box)
    : queue_(queue), reader_(reader), message_box_(std::move(message_box)) {
    record_.magic = kHostWindowMagic;
    record_.size = sizeof(HostWindowRecord);
    record_.context = this;
    record_.send = &HostWindow::send;
    record_.post = &HostWindow::post;
    record_.message_box = &HostWindow::message_box;
}

// These three are the C boundary: nothing may escape them.
std::intptr_t HostWindow::send(void* context, std::uint32_t message, std::uintptr_t wparam,
                               std::intptr_t lparam) {
    // Each sending thread keeps its last text; the main thread may change the playlist as soon
    // as the reply is handed over, so the text must not point into the model. (A snapshot's text
    // lies in the playlist the thread's own snapshot copy keeps alive.)
    thread_local std::string last_text;
    try {
        auto* window = static_cast<HostWindow*>(context);
        const Message request{message, wparam, lparam};
        // A closed host answers nothing, from the snapshot or otherwise.
        if (window->queue_.closed()) {
            return 0;
        }
        if (auto answer = window->reader_.read(request)) {
            return answer->text ? reinterpret_cast<std::intptr_t>(answer->text) : answer->value;
        }
        Reply reply = window->queue_.send(request);
        if (!reply.text) {
            return reply.value;
        }
        last_text = std::move(*reply.text);
        return reinterpret_cast<std::intptr_t>(last_text.c_str());
    } catch (const std::exception&) {
        return 0;
    }
}

std::int32_t HostWindow::post(void* context, std::uint32_t message, std::uintptr_t wparam,
                              std::intptr_t lparam) {
    try {
        auto* window = static_cast<HostWindow*>(context);
        return window->queue_.post(Message{message, wparam, lparam}) ? 1 : 0;
    } catch (const std::exception&) {
        return 0;
    }
}

std::int32_t HostWindow::message_box(void* context, const char* text, const char* caption,
                                     std::uint32_t /*style*/) {
    try {
        auto* window = static_cast<HostWindow*>(context);
        window->message_box_(text != nullptr ? text : "", caption != nullptr ? caption : "");
        return kButtonOk;
    } catch (const std::exception&) {
        return 0;
    }
}

std::string message_box_line(const std::string& text, const std::string& caption) {
    std::string line = caption + ": " + text;
    for (char& c : line) {
        if (c == '\n' || c == '\r') {
            c = ' ';
        }
    }
    return line + "\n";
}

}  // namespace dravo
