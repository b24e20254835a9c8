#pragma once
// The host window of our Linux host: hwndParent of the plug-in record points to this record.
// Plain C layout, like the rest of the plug-in contract.
#include <cstdint>

extern "C" {

// On Linux a host window is this record; hwndParent points to it. send runs the message on the
// host's main thread while the caller waits (a call from the main thread runs at once); post
// queues it. message_box must return at once (the host shows or logs the text). All three may be
// called from any thread. A send to a host that is closing returns 0 at once.
struct HostWindowRecord {
    std::uint32_t magic;  // kHostWindowMagic
    std::uint32_t size;   // sizeof(HostWindowRecord)
    void* context;
    std::intptr_t (*send)(void* context, std::uint32_t message, std::uintptr_t wparam,
                          std::intptr_t lparam);
    std::int32_t (*post)(void* context, std::uint32_t message, std::uintptr_t wparam,
                         std::intptr_t lparam);
    std::int32_t (*message_box)(void* context, const char* text, const char* caption,
                                std::uint32_t style);
};

}  // extern "C"

namespace dravo {

inline constexpr std::uint32_t kHostWindowMagic = 0x64726877;  // "drhw"

}  // namespace dravo
