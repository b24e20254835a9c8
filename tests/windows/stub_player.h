#pragma once
// The in-memory player behind the stand-in host's window: a playlist of file names, the current
// entry, position, volume, shuffle, repeat and play state. No audio. It answers the plug-in's
// window messages; returned texts stay valid until the playlist changes.
// One thread (the window's) uses it.
#include <cstdint>
#include <string>
#include <vector>

namespace dravo::stub {

class StubPlayer {
public:
    // The answer to one window message; handled is false for messages that are not the
    // player's (the window passes those on).
    std::intptr_t answer(std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam,
                         bool& handled);

    const std::vector<std::string>& playlist() const { return files_; }
    int state() const { return state_; }
    int volume() const { return volume_; }

private:
    std::intptr_t button(std::uintptr_t id);
    std::intptr_t operation(std::intptr_t op, std::uintptr_t argument);
    void add_file(const std::string& path);
    const char* title_of(std::size_t index);

    std::vector<std::string> files_;
    std::string title_;
    std::size_t current_ = 0;
    int position_ms_ = 0;
    int state_ = 0;  // 0 stopped, 1 playing, 3 paused
    int volume_ = 255;
    int shuffle_ = 0;
    int repeat_ = 0;
};

}  // namespace dravo::stub
