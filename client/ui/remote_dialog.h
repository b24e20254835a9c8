#pragma once
// The client's main window: every control of the remote, a frameless, always-on-top tool window
// without a taskbar entry. It starts hidden and stays hidden until show_at_cursor() (tray icon or
// media key) brings it up; it hides again on losing the activation (not while the sleep dialog is
// open), on Esc and on close. Exit asks the ClientLifecycle to end the program.
// It shows state and forwards input: it implements the RemoteView the session talks to, and
// hands clicks to RemoteSession and ClientLifecycle; it owns no service. The tray tip and the
// on-screen display go to the parts handed to attach().
// Construct, call and destroy on the GUI thread, after the QApplication. Nothing here fails.
#include <QDialog>
#include <QIcon>

#include <memory>

#include "remote_view.h"

class QAbstractSlider;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QSlider;

namespace dravo {

class ClientLifecycle;
class ClientSettings;
class FilterEdit;
class OsdWindow;
class RemoteSession;
class TrackListModel;
class TrayIcon;

class RemoteDialog : public QDialog, public RemoteView {
public:
    explicit RemoteDialog(ClientSettings& settings);
    ~RemoteDialog() override;

    // Makes the controls and wires them; once, before the session runs an operation. Everything
    // handed in outlives the dialog's use of it.
    void attach(RemoteSession& session, ClientLifecycle& lifecycle, TrayIcon& tray, OsdWindow& osd);

    void open_sleep_dialog();
    // Hidden, and no longer brought up: the program is ending.
    void hide_for_good();
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
    void show_at_cursor() override;
    void set_sleep_button_text(const std::string& text) override;
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

    ClientSettings& settings_;
    RemoteSession* session_ = nullptr;
    ClientLifecycle* lifecycle_ = nullptr;
    TrayIcon* tray_ = nullptr;
    OsdWindow* osd_ = nullptr;
    std::unique_ptr<TrackListModel> model_;
    QIcon icon_;
    bool keep_hidden_ = true;
    bool hide_on_deactivate_ = true;

    QLabel* now_playing_ = nullptr;
    FilterEdit* filter_ = nullptr;
    QLineEdit* search_ = nullptr;
    QListView* tracks_ = nullptr;
    QSlider* volume_ = nullptr;
    QCheckBox* shuffle_ = nullptr;
    QPushButton* sleep_button_ = nullptr;
};

}  // namespace dravo
