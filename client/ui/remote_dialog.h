#pragma once
// The client's main window: every control of the remote, a frameless, always-on-top tool window
// without a taskbar entry. It starts hidden and stays hidden until show_at_cursor() (tray icon or
// media key) brings it up; it hides again on losing the activation (not while the sleep dialog is
// open), on Esc and on close. Only Exit (or end()) ends the program, after the shutdown steps.
// It shows state and forwards clicks: RemoteSession does the work, this class implements the
// RemoteView the session talks to.
// Construct, call and destroy on the GUI thread, after the QApplication. Nothing here fails:
// start-up failures are told in the boxes and display texts the start-up names and it goes on.
#include <QDialog>
#include <QIcon>
#include <QTimer>

#include <functional>
#include <memory>

#include "media_key_hooks.h"
#include "remote_session.h"
#include "remote_view.h"
#include "sleep_timer.h"

class QAbstractSlider;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QSlider;

namespace dravo {

class FilterEdit;
class OsdWindow;
class TrackListModel;
class TrayIcon;
enum class TrayClick;

class RemoteDialog : public QDialog, public RemoteView {
public:
    // settings are loaded already; osd is initialised by start_up().
    RemoteDialog(ClientSettings& settings, OsdWindow& osd, RequestRunner& runner,
                 SessionOptions options = {}, SleepTimer::Clock clock = SleepTimer::steady_now_ms);
    ~RemoteDialog() override;

    // The start-up after the settings were loaded: display, media keys, tray icon, controls, list,
    // status timer, update check, first poll and the server's filter.
    void start_up(MediaKeyHooks keys = {});
    // Stops the timers, saves the settings, deletes the tray icon, removes the media keys. Once.
    void shut_down();
    // Ends the program like Exit once no operation runs: shutdown, then on_end.
    void end();
    void set_on_end(std::function<void()> on_end) { on_end_ = std::move(on_end); }

    // Brings the window up with its bottom edge at the mouse cursor, on top and activated, the
    // search edit focused with its text selected.
    void show_at_cursor();
    void open_sleep_dialog();
    void update_sleep_button();
    void on_tray_click(TrayClick click);

    RemoteSession& session() { return *session_; }
    const SleepTimer& sleep_timer() const { return sleep_; }
    const TrayIcon& tray() const { return *tray_; }
    bool keeps_hidden() const { return keep_hidden_; }

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
    // A box with the caption "ERROR".
    void show_error(const std::string& text) override;
    void quit() override;

    void setVisible(bool visible) override;

protected:
    void reject() override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void make_controls();
    QWidget* make_buttons();
    QPushButton* button(const char* text, const char* name, void (RemoteSession::*operation)());
    void volume_action(int action);
    void arm_sleep_timer();
    void sleep_timer_fired();

    ClientSettings& settings_;
    OsdWindow& osd_;
    std::unique_ptr<RemoteSession> session_;
    std::unique_ptr<TrayIcon> tray_;
    std::unique_ptr<TrackListModel> model_;
    MediaKeyHooks keys_;
    std::function<void()> on_end_;
    SleepTimer sleep_;
    QTimer status_timer_;
    QTimer sleep_wait_;
    QIcon icon_;
    bool keep_hidden_ = true;
    bool hide_on_deactivate_ = true;
    bool shut_down_ = false;

    QLabel* now_playing_ = nullptr;
    FilterEdit* filter_ = nullptr;
    QLineEdit* search_ = nullptr;
    QListView* tracks_ = nullptr;
    QSlider* volume_ = nullptr;
    QCheckBox* shuffle_ = nullptr;
    QPushButton* sleep_button_ = nullptr;
};

}  // namespace dravo
