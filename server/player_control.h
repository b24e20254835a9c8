#pragma once
// Every operation the plug-in asks of the player, each one message to the host window.
// Sends are synchronous (the host answers on its own thread); close() is posted.
// Returned texts are copied at once. Used from the listener thread.
#include <cstdint>
#include <optional>
#include <string>

namespace dravo {

class PluginHost;

class PlayerControl {
public:
    explicit PlayerControl(PluginHost& host) : host_(host) {}

    // Button commands.
    void prev();
    void play();
    void pause();
    void stop();
    void next();
    void forward_5s();
    void back_5s();

    void clear_playlist();
    int play_state();   // 1 playing, 3 paused, 0 stopped
    int position_ms();  // -1 when nothing is loaded
    int length_s();     // -1 when nothing is loaded
    // The host's jump to a time: 0 done (or not understood), 1 past the end, -1 not playing.
    int jump_to_ms(int position_ms);
    void set_list_pos(int index);
    int volume();  // 0-255
    void set_volume(std::uint32_t player_volume);
    int list_length();
    int list_pos();
    std::optional<std::string> file_name(int index);  // nullopt when the host gives none
    // Appends at most max_bytes of the file name to out, without a string of its own (a long
    // list asks for many). False, and out unchanged, when the host gives none.
    bool append_file_name(int index, std::string& out, std::size_t max_bytes);
    std::optional<std::string> title(int index);
    int shuffle();
    int repeat();
    void set_shuffle(int state);
    void set_repeat(int state);
    // Appends a file (a playlist file: its entries) without starting playback.
    void add_file(const std::string& path);
    // Asks the host to close; queued, not awaited.
    bool close();

private:
    std::intptr_t user(std::intptr_t operation, std::uintptr_t argument = 0);
    void button(std::uintptr_t command);
    std::optional<std::string> text(std::intptr_t operation, int index);

    PluginHost& host_;
};

}  // namespace dravo
