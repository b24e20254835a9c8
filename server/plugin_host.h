#pragma once
// The plug-in core's one view of its host. The real one wraps the host window the host wrote into
// the plug-in record; tests use a fake that records messages and scripts answers.
#include <cstdint>
#include <functional>
#include <string>

namespace dravo {

class PluginHost {
public:
    virtual ~PluginHost() = default;
    // Runs the message on the host's thread and returns its result; the caller waits.
    // Any thread. Returns 0 when the host is gone or closing.
    virtual std::intptr_t send(std::uint32_t message, std::uintptr_t wparam,
                               std::intptr_t lparam) = 0;
    // Queues the message; nothing is awaited. Any thread.
    virtual bool post(std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam) = 0;
    // Tells the host's user something; returns at once. Any thread.
    virtual void message_box(const std::string& text, const std::string& caption) = 0;
    // The folder that holds the plug-in file, with its trailing separator. Any thread.
    virtual std::string module_directory() const = 0;
    // Called on the host's thread while it waits for the listener thread to end, until done()
    // is true. A host whose sends are carried out by that very thread (a Windows window) keeps
    // carrying them out here, so a listener caught in a send can still finish. Default: nothing.
    virtual void keep_answering_until(const std::function<bool()>& done) { (void)done; }
};

}  // namespace dravo
