#pragma once
// The binary contract between a player host and a general-purpose plug-in: the plug-in record,
// the message numbers the host answers and the entry's name. Plain C layout: both sides may be
// built by different compilers. The Linux host window is in host_window_record.h.
#include <cstdint>

extern "C" {

struct PluginRecord {
    std::int32_t version;     // kPluginRecordVersion
    const char* description;  // shown in the host's plug-in list
    std::int32_t (*init)();   // 0 on success
    void (*config)();
    void (*quit)();
    void* hwndParent;    // the host's main window, written by the host before init
    void* hDllInstance;  // the plug-in module, written by the host before init
};

typedef PluginRecord* (*PluginEntryFunction)();

// Marks the plug-in's one exported entry, whatever the compiler.
#if defined(_WIN32)
#define DRAVO_PLUGIN_EXPORT extern "C" __declspec(dllexport)
#else
#define DRAVO_PLUGIN_EXPORT extern "C" __attribute__((visibility("default")))
#endif

// Copy-data record of the copy-data message.
struct CopyDataRecord {
    std::uintptr_t dwData;
    std::uint32_t cbData;
    void* lpData;
};

}  // extern "C"

namespace dravo {

inline constexpr std::int32_t kPluginRecordVersion = 16;
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
inline constexpr std::intptr_t play_state = 104;   // 1 playing, 3 paused, 0 stopped
inline constexpr std::intptr_t output_time = 105;  // wparam 0: position ms, 1: length s
// wparam: the position in ms to jump to. 0 done, 1 past the end, -1 nothing playing; a host
// that does not know it answers 0 without moving (callers check the position afterwards).
inline constexpr std::intptr_t jump_to_time = 106;
inline constexpr std::intptr_t set_list_pos = 121;
inline constexpr std::intptr_t volume = 122;  // wparam 0-255 sets; kVolumeQuery reads
inline constexpr std::intptr_t list_length = 124;
inline constexpr std::intptr_t list_pos = 125;
inline constexpr std::intptr_t file_name = 211;  // result: const char* or null
inline constexpr std::intptr_t title = 212;      // result: const char* or null
inline constexpr std::intptr_t get_shuffle = 250;
inline constexpr std::intptr_t get_repeat = 251;
inline constexpr std::intptr_t set_shuffle = 252;
inline constexpr std::intptr_t set_repeat = 253;
inline constexpr std::uintptr_t volume_query = static_cast<std::uintptr_t>(-666);
inline constexpr std::uintptr_t play_file = 100;  // dwData of msg::copy_data
}  // namespace op

}  // namespace dravo
