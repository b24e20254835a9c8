#pragma once
// What the client's operations show and read in the window: the one interface between the
// client's logic and its user interface. The dialog implements it; tests use a recording stand-in.
// Called on the user-interface thread only, never while a request runs on the worker, so an
// implementation needs no lock. Nothing here fails: a part the window lacks ignores the call.
#include <optional>
#include <string>

namespace dravo {

class TrackList;

enum class ShuffleBox { indeterminate, unchecked, checked };

class RemoteView {
public:
    virtual ~RemoteView() = default;

    virtual void set_window_text(const std::string& text) = 0;
    virtual void set_now_playing(const std::string& text) = 0;  // the "Now playing" label
    virtual void set_tray_tip(const std::string& text) = 0;
    // The on-screen display; it shows nothing itself when the user switched it off.
    virtual void show_osd(const std::string& text) = 0;
    // 0 (top, loudest) to 100.
    virtual void set_volume_slider(int position) = 0;
    virtual void set_shuffle_box(ShuffleBox state) = 0;
    // From now on the box is an ordinary two-state box (the user's first click on it).
    virtual void make_shuffle_box_two_state() = 0;

    // The list shows list.shown_count() rows of the model; called right after each change of the
    // model, with no event handled in between, so the window may read the model at any other time.
    virtual void show_track_rows(const TrackList& list) = 0;
    // Selects a shown row (0-based); nothing selects no row.
    virtual void select_track_row(std::optional<std::size_t> row) = 0;
    virtual std::optional<std::size_t> selected_track_row() const = 0;

    virtual std::string search_text() const = 0;
    virtual void set_search_text(const std::string& text) = 0;
    virtual void focus_search() = 0;
    virtual std::string filter_text() const = 0;
    virtual void set_filter_text(const std::string& text) = 0;

    // A modal message box with an OK button and the program's name as caption; returns when the
    // user closed it.
    virtual void show_message(const std::string& text) = 0;
    // The same with the caption "ERROR", for a part of the program that could not start.
    virtual void show_error(const std::string& text) { show_message(text); }
    // The window up beside the mouse pointer, activated, the search text selected.
    virtual void show_at_cursor() {}
    // The Sleep button's text.
    virtual void set_sleep_button_text(const std::string& text) { (void)text; }
    // Ends the program once the current handler has returned.
    virtual void quit() = 0;
};

}  // namespace dravo
