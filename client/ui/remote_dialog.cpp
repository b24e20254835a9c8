// The main window's controls, its start-up and shutdown, and its keys and window behaviour.
#include "remote_dialog.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>

#include "autostart_switch_qt.h"
#include "client_lifecycle.h"
#include "client_settings.h"
#include "filter_edit.h"
#include "program_icon.h"
#include "remote_protocol.h"
#include "track_list_model.h"
#include "remote_session.h"
#include "timer_period.h"

namespace dravo {
namespace {

constexpr int kWidth = 450;  // about the size the old dialog template gave
constexpr int kHeight = 230;
constexpr int kVolumePage = 20;

bool is_list_key(int key) {
    return key == Qt::Key_Down || key == Qt::Key_Up || key == Qt::Key_PageDown ||
           key == Qt::Key_PageUp;
}

}  // namespace

RemoteDialog::RemoteDialog(ClientSettings& settings)
    : QDialog(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      settings_(settings) {
    setObjectName("remote");
    icon_ = program_icon();
    setWindowIcon(icon_);
}

void RemoteDialog::attach(RemoteSession& session, ClientLifecycle& lifecycle, TrayIcon& tray,
                          OsdWindow& osd) {
    session_ = &session;
    lifecycle_ = &lifecycle;
    tray_ = &tray;
    osd_ = &osd;
    make_controls();
    volume_->setRange(remote::kVolumeMin, remote::kVolumeMax);
    volume_->setPageStep(kVolumePage);
}

RemoteDialog::~RemoteDialog() = default;

QPushButton* RemoteDialog::button(const char* text, const char* name,
                                  void (RemoteSession::*operation)()) {
    auto* made = new QPushButton(text);
    made->setObjectName(name);
    made->setAutoDefault(false);  // Enter belongs to the list and the filter, not to a button
    if (operation) {
        connect(made, &QPushButton::clicked, this, [this, operation] { (session_->*operation)(); });
    }
    return made;
}

QWidget* RemoteDialog::make_buttons() {
    auto* row = new QWidget;
    auto* grid = new QGridLayout(row);
    grid->setContentsMargins(0, 0, 0, 0);
    shuffle_ = new QCheckBox("Shuffle");
    shuffle_->setObjectName("shuffle");
    shuffle_->setTristate(true);
    connect(shuffle_, &QCheckBox::clicked, this, [this] { session_->toggle_shuffle(); });
    grid->addWidget(shuffle_, 0, 0);
    int column = 1;
    for (auto [text, name, operation] : {std::tuple{"Play", "play", &RemoteSession::start_playback},
                                         {"Pause", "pause", &RemoteSession::pause_playback},
                                         {"Stop", "stop", &RemoteSession::stop_playback},
                                         {"Prev", "prev", &RemoteSession::previous_track},
                                         {"Next", "next", &RemoteSession::next_track}}) {
        grid->addWidget(button(text, name, operation), 0, column++);
    }
    column = 0;
    for (auto [text, name, operation] :
         {std::tuple{"Server", "server", &RemoteSession::next_server},
          {"Reload", "reload", &RemoteSession::load_track_list},
          {"Sleep", "sleep", static_cast<void (RemoteSession::*)()>(nullptr)},
          {"About", "about", &RemoteSession::show_about},
          {"Update", "update", &RemoteSession::request_update},
          {"Exit", "exit", static_cast<void (RemoteSession::*)()>(nullptr)}}) {
        grid->addWidget(button(text, name, operation), 1, column++);
    }
    grid->addWidget(make_autostart_switch(), 2, 0, 1, column);
    sleep_button_ = row->findChild<QPushButton*>("sleep");
    connect(sleep_button_, &QPushButton::clicked, this, [this] { open_sleep_dialog(); });
    connect(row->findChild<QPushButton*>("exit"), &QPushButton::clicked, this,
            [this] { lifecycle_->end(); });
    return row;
}

void RemoteDialog::make_controls() {
    auto* frame = new QFrame(this);
    frame->setFrameShape(QFrame::Box);  // the thin border of a window without a title bar
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(frame);

    now_playing_ = new QLabel("Now playing . . . . . . . . . . . . . . . . . . . .");
    now_playing_->setObjectName("now_playing");
    filter_ = new FilterEdit(session_->filter_completer());
    filter_->setObjectName("filter");
    search_ = new QLineEdit;
    search_->setObjectName("search");
    search_->setMaxLength(remote::kEditTextMax);
    connect(search_, &QLineEdit::textChanged, this, [this] { session_->show_matching_tracks(); });
    model_ = std::make_unique<TrackListModel>(session_->tracks());
    tracks_ = new QListView;
    tracks_->setObjectName("tracks");
    tracks_->setModel(model_.get());
    tracks_->setUniformItemSizes(true);
    tracks_->setSelectionMode(QAbstractItemView::SingleSelection);
    tracks_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(tracks_, &QListView::doubleClicked, this, [this] { session_->play_selected(); });
    volume_ = new QSlider(Qt::Vertical);
    volume_->setObjectName("volume");
    volume_->setInvertedAppearance(true);  // position 0 at the top: loudest
    volume_->setInvertedControls(true);
    connect(volume_, &QAbstractSlider::actionTriggered, this,
            [this](int action) { volume_action(action); });

    auto* go = button("Go", "go", &RemoteSession::play_selected);
    go->setDefault(true);
    go->hide();
    auto* apply = button("Apply filter", "apply_filter", &RemoteSession::apply_filter);
    apply->hide();

    auto* grid = new QGridLayout(frame);
    auto* filter_label = new QLabel("Filter:");
    filter_label->setObjectName("filter_label");
    grid->addWidget(now_playing_, 0, 0, 1, 3);
    grid->addWidget(filter_label, 1, 0);
    grid->addWidget(filter_, 1, 1);
    grid->addWidget(search_, 2, 0, 1, 2);
    grid->addWidget(tracks_, 3, 0, 1, 2);
    grid->addWidget(volume_, 1, 2, 3, 1);
    grid->addWidget(make_buttons(), 4, 0, 1, 3);
    grid->addWidget(go, 5, 0);
    grid->addWidget(apply, 5, 1);
    setFixedSize(sizeHint().expandedTo(QSize(kWidth, kHeight)));
}

void RemoteDialog::show_error(const std::string& text) {
    QMessageBox box(QMessageBox::Critical, "ERROR", QString::fromStdString(text), QMessageBox::Ok,
                    this);
    box.exec();
}

void RemoteDialog::hide_for_good() {
    keep_hidden_ = true;
    QDialog::setVisible(false);
}

void RemoteDialog::quit() {
    QTimer::singleShot(0, this, [this] { lifecycle_->end(); });
}

void RemoteDialog::setVisible(bool visible) {
    if (visible && keep_hidden_) {
        return;  // only show_at_cursor brings the window up
    }
    QDialog::setVisible(visible);
}

void RemoteDialog::reject() { hide(); }

void RemoteDialog::closeEvent(QCloseEvent* event) {
    event->ignore();
    hide();
}

void RemoteDialog::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && !isActiveWindow() && hide_on_deactivate_ &&
        isVisible()) {
        hide();
    }
}

void RemoteDialog::keyPressEvent(QKeyEvent* event) {
    QWidget* focus = focusWidget();
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (focus == filter_) {
            session_->apply_filter();
        } else {
            session_->play_selected();
        }
        return;
    }
    // Typing search words, the list's selection moves without leaving the edit.
    if (is_list_key(event->key()) && (focus == search_ || focus == filter_)) {
        QKeyEvent copy(event->type(), event->key(), event->modifiers());
        QCoreApplication::sendEvent(tracks_, &copy);
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace dravo
