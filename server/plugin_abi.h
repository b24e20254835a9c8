#pragma once
// The binary contract between a player host and a general-purpose plug-in: the plug-in record,
// the message numbers the host answers, and (on Linux) the host window a host hands over.
// Plain C layout: both sides may be built by different compilers.
#include <cstdint>

extern "C" {

struct PluginRecord {
    std::int32_t version;      // kPluginRecordVersion
    const char* description;   // shown in the host's plug-in list
    std::int32_t (*init)();    // 0 on success
    void (*config)();
    void (*quit)();
    void* hwndParent;          // the host's main window, written by the host before init
    void* hDllInstance;        // the plug-in module, written by the host before init
};

typedef PluginRecord* (*PluginEntryFunction)();

// Copy-data record of the copy-data message.
struct CopyDataRecord {
    std::uintptr_t dwData;
    std::uint32_t cbData;
    void* lpData;
};

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

inline constexpr std::int32_t kPluginRecordVersion = 16;
inline constexpr std::uint32_t kHostWindowMagic = 0x64726877;  // "drhw"
inline constexpr const char* kPluginEntryName = "winampGetGeneralPurposePlugin";

// Window messages.
namespace msg {
inline constexpr std::uint32_t close = 16;
inline constexpr std::uint32_t copy_data = 74;
inline constexpr std::uint32_t command = 273;
inline constexpr std::uint32_t user = 1024;  // player operation in lparam, argument in wparam
}  // namespace msg

// Button commands (wparam of msg::command).
namespace button {
inline constexpr std::uintptr_t prev = 40044;
inline constexpr std::uintptr_t play = 40045;
inline constexpr std::uintptr_t pause = 40046;
inline constexpr std::uintptr_t stop = 40047;
inline constexpr std::uintptr_t next = 40048;
inline constexpr std::uintptr_t forward_5s = 40060;
inline constexpr std::uintptr_t back_5s = 40061;
}  // namespace button

// Player operations (lparam of msg::user).
namespace op {
inline constexpr std::intptr_t clear_playlist = 101;
inline constexpr std::intptr_t play_state = 104;       // 1 playing, 3 paused, 0 stopped
inline constexpr std::intptr_t output_time = 105;      // wparam 0: position ms, 1: length s
inline constexpr std::intptr_t set_list_pos = 121;
inline constexpr std::intptr_t volume = 122;           // wparam 0-255 sets; kVolumeQuery reads
inline constexpr std::intptr_t list_length = 124;
inline constexpr std::intptr_t list_pos = 125;
inline constexpr std::intptr_t file_name = 211;        // result: const char* or null
inline constexpr std::intptr_t title = 212;            // result: const char* or null
inline constexpr std::intptr_t get_shuffle = 250;
inline constexpr std::intptr_t get_repeat = 251;
inline constexpr std::intptr_t set_shuffle = 252;
inline constexpr std::intptr_t set_repeat = 253;
inline constexpr std::uintptr_t volume_query = static_cast<std::uintptr_t>(-666);
inline constexpr std::uintptr_t play_file = 100;       // dwData of msg::copy_data
}  // namespace op

}  // namespace dravo
