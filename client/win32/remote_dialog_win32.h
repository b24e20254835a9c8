#pragma once
// The Windows client's main window, made from dialog template 102: every control of the remote in
// a pop-up, always-on-top tool window. It starts hidden and stays hidden until show_at_cursor()
// (tray icon or media key) brings it up; it hides again on losing the activation (not while the
// sleep dialog is open), on Esc and on close. Exit asks the ClientLifecycle to end the program.
// It shows state and forwards input: it implements the RemoteView the session talks to and hands
// clicks, keys, window timers, tray clicks (message 0x7AB8) and media keys (message 0x7AB9) on to
// the session, the lifecycle and the sinks it is given; it owns no service.
// User-interface thread only; the thread's message loop passes every message through
// pre_translate(). Nothing here fails but create(), which answers false without a window.
#include <windows.h>

#include <cstdint>
#include <functional>

#include "remote_view.h"

namespace dravo {

class ClientLifecycle;
class ClientSettings;
class OsdWindow;
class RemoteSession;
class ServerMenu;
class TrayIconWin32;

inline constexpr UINT kTrayMessage = 0x7AB8;

class RemoteDialogWin32 final : public RemoteView {
public:
    explicit RemoteDialogWin32(ClientSettings& settings) : settings_(settings) {}
    ~RemoteDialogWin32() override;
    RemoteDialogWin32(const RemoteDialogWin32&) = delete;
    RemoteDialogWin32& operator=(const RemoteDialogWin32&) = delete;

    // Makes the hidden window and sets its controls up.
    bool create();
    // Everything handed in outlives the window's use of it; before the session runs an operation.
    void attach(RemoteSession& session, ClientLifecycle& lifecycle, TrayIconWin32& tray,
                OsdWindow& osd, ServerMenu& server_menu);
    // Window timers (by id), media-key values and wake_for_tasks() go to these.
    void set_timer_sink(std::function<void(UINT_PTR)> sink) { timer_sink_ = std::move(sink); }
    void set_media_key_sink(std::function<int(std::uint32_t)> sink) {
        media_key_sink_ = std::move(sink);
    }
    void set_task_sink(std::function<void()> sink) { task_sink_ = std::move(sink); }
    // Any thread: the task sink runs soon on the window's thread (also inside a modal dialog's
    // loop). Nothing happens once the window is gone.
    void wake_for_tasks() const;
    // Accelerators and dialog keys; true when the message was handled.
    bool pre_translate(MSG& message);
    // Hidden, and no longer brought up: the program is ending.
    void hide_for_good();
    HWND window() const { return window_; }

    // RemoteView
    void set_window_text(const std::string& text) override;
    void set_now_playing(const std::string& text) override;
    void set_tray_tip(const std::string& text) override;
    void show_osd(const std::string& text) override;
    void set_volume_slider(int position) override;
    void set_shuffle_box(ShuffleBox state) override;
    void make_shuffle_box_two_state() override;
    void show_track_rows(const TrackList& list) override;
    void select_track_row(std::optional<std::size_t> row) override;
    std::optional<std::size_t> selected_track_row() const override;
    std::string search_text() const override;
    void set_search_text(const std::string& text) override;
    void focus_search() override;
    std::string filter_text() const override;
    void set_filter_text(const std::string& text) override;
    void show_message(const std::string& text) override;
    void show_error(const std::string& text) override;
    void show_at_cursor() override;
    void set_sleep_button_text(const std::string& text) override;
    void quit() override;

private:
    static INT_PTR CALLBACK procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    INT_PTR handle(UINT message, WPARAM wparam, LPARAM lparam);
    void command(int id);
    void scroll(WPARAM wparam);
    void keep_hidden(WINDOWPOS& place) const;
    void open_sleep_dialog();
    void open_server_menu(LPARAM at);
    HWND control(int id) const { return GetDlgItem(window_, id); }
    std::string text_of(int id) const;

    ClientSettings& settings_;
    RemoteSession* session_ = nullptr;
    ClientLifecycle* lifecycle_ = nullptr;
    TrayIconWin32* tray_ = nullptr;
    OsdWindow* osd_ = nullptr;
    ServerMenu* server_menu_ = nullptr;
    std::function<void(UINT_PTR)> timer_sink_;
    std::function<int(std::uint32_t)> media_key_sink_;
    std::function<void()> task_sink_;
    HWND window_ = nullptr;
    HACCEL accelerators_ = nullptr;
    HICON icon_ = nullptr;
    bool keep_hidden_ = true;
    bool hide_on_deactivate_ = true;
};

}  // namespace dravo
