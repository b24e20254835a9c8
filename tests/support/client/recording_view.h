#pragma once
// A window stand-in for the client's operations: records every call as one line of a log
// ("osd:Stop", "slider:60", ...) and keeps the texts and the selection a real window would hold.
// The media keys' test driver prints the same lines. Called on one thread, like a window.
#include <functional>
#include <string>
#include <vector>

#include "remote_view.h"
#include "track_list.h"

namespace dravo::test {

class RecordingView : public RemoteView {
public:
    void set_window_text(const std::string& text) override { log("window:" + text); }
    void set_now_playing(const std::string& text) override { log("label:" + text); }
    void set_tray_tip(const std::string& text) override { log("tip:" + text); }
    void show_osd(const std::string& text) override { log("osd:" + text); }
    void set_volume_slider(int position) override { log("slider:" + std::to_string(position)); }
    void set_shuffle_box(ShuffleBox state) override {
        log(state == ShuffleBox::checked     ? "box:on"
            : state == ShuffleBox::unchecked ? "box:off"
                                             : "box:?");
    }
    void make_shuffle_box_two_state() override { log("box:two-state"); }
    void show_track_rows(const TrackList& list) override {
        rows.clear();
        for (std::size_t i = 0; i < list.shown_count(); ++i) {
            rows.push_back(std::to_string(list.shown_number(i)) + " " +
                           std::string(list.shown_text(i)));
        }
    }
    void select_track_row(std::optional<std::size_t> row) override { selected = row; }
    std::optional<std::size_t> selected_track_row() const override { return selected; }
    std::string search_text() const override { return search; }
    void set_search_text(const std::string& text) override { log("search:" + (search = text)); }
    void focus_search() override { log("focus:search"); }
    std::string filter_text() const override { return filter; }
    void set_filter_text(const std::string& text) override { log("filter:" + (filter = text)); }
    void show_message(const std::string& text) override { log("message:" + text); }
    void show_error(const std::string& text) override { log("error:" + text); }
    void quit() override { log("quit"); }
    void show_at_cursor() override { log("raise"); }
    void set_sleep_button_text(const std::string& text) override { log("sleep:" + text); }

    // The logged lines that start with prefix, without it ("osd:" gives the announcements).
    std::vector<std::string> with(const std::string& prefix) const {
        std::vector<std::string> found;
        for (const auto& line : lines) {
            if (line.rfind(prefix, 0) == 0) {
                found.push_back(line.substr(prefix.size()));
            }
        }
        return found;
    }

    std::vector<std::string> lines;
    std::vector<std::string> rows;  // "number text" of each shown row
    std::optional<std::size_t> selected;
    std::string search;
    std::string filter;
    std::function<void(const std::string&)> on_line;  // called with each line as it is logged

private:
    void log(const std::string& line) {
        lines.push_back(line);
        if (on_line) {
            on_line(line);
        }
    }
};

}  // namespace dravo::test
