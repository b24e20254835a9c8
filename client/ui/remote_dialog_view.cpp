// What the session shows in the main window, the window at the cursor, the volume slider's
// steps, the tray clicks and the sleep timer.
#include <QAbstractSlider>
#include <QCheckBox>
#include <QCursor>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSlider>

#include "client_info.h"
#include "client_lifecycle.h"
#include "client_settings.h"
#include "remote_session.h"
#include "filter_edit.h"
#include "osd_window.h"
#include "remote_dialog.h"
#include "sleep_dialog.h"
#include "taskbar_hint.h"
#include "track_list_model.h"
#include "tray_icon.h"
#include "window_rules.h"

namespace dravo {
namespace {

QString qt_text(const std::string& text) { return QString::fromStdString(text); }

VolumeScroll scroll_of(int action) {
    // The slider's position grows downwards, so a step "sub" moves the thumb up.
    switch (action) {
        case QAbstractSlider::SliderSingleStepSub:
            return VolumeScroll::line_up;
        case QAbstractSlider::SliderSingleStepAdd:
            return VolumeScroll::line_down;
        case QAbstractSlider::SliderPageStepSub:
            return VolumeScroll::page_up;
        case QAbstractSlider::SliderPageStepAdd:
            return VolumeScroll::page_down;
        case QAbstractSlider::SliderMove:
            return VolumeScroll::thumb;
        case QAbstractSlider::SliderToMinimum:
            return VolumeScroll::top;
        case QAbstractSlider::SliderToMaximum:
            return VolumeScroll::bottom;
        default:
            return VolumeScroll::other;
    }
}

}  // namespace

void RemoteDialog::set_window_text(const std::string& text) { setWindowTitle(qt_text(text)); }

void RemoteDialog::set_now_playing(const std::string& text) {
    now_playing_->setText(qt_text(text));
}

void RemoteDialog::set_tray_tip(const std::string& text) { tray_->set_tip(text); }

void RemoteDialog::show_osd(const std::string& text) { osd_->show(text); }

void RemoteDialog::set_volume_slider(int position) { volume_->setValue(position); }

void RemoteDialog::set_shuffle_box(ShuffleBox state) {
    shuffle_->setCheckState(state == ShuffleBox::checked     ? Qt::Checked
                            : state == ShuffleBox::unchecked ? Qt::Unchecked
                                                             : Qt::PartiallyChecked);
}

void RemoteDialog::make_shuffle_box_two_state() { shuffle_->setTristate(false); }

void RemoteDialog::show_track_rows(const TrackList&) { model_->refresh(); }

void RemoteDialog::select_track_row(std::optional<std::size_t> row) {
    if (!row) {
        tracks_->clearSelection();
        tracks_->setCurrentIndex({});
        return;
    }
    tracks_->setCurrentIndex(model_->index(static_cast<int>(*row)));
}

std::optional<std::size_t> RemoteDialog::selected_track_row() const {
    const auto selected = tracks_->selectionModel()->selectedIndexes();
    if (selected.isEmpty()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(selected.first().row());
}

std::string RemoteDialog::search_text() const { return search_->text().toStdString(); }

void RemoteDialog::set_search_text(const std::string& text) { search_->setText(qt_text(text)); }

void RemoteDialog::focus_search() { search_->setFocus(); }

std::string RemoteDialog::filter_text() const { return filter_->text().toStdString(); }

void RemoteDialog::set_filter_text(const std::string& text) { filter_->setText(qt_text(text)); }

void RemoteDialog::show_message(const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, kClientName, qt_text(text), QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void RemoteDialog::volume_action(int action) {
    if (const auto volume = volume_after_scroll(scroll_of(action), session_->state().volume,
                                                volume_->sliderPosition())) {
        session_->set_volume(*volume);
    }
}

void RemoteDialog::show_at_cursor() {
    const QPoint cursor = QCursor::pos();
    keep_hidden_ = false;
    const QScreen* screen = QGuiApplication::screenAt(cursor);
    if (!screen) {
        screen = QGuiApplication::primaryScreen();
    }
    const QRect work = screen ? screen->availableGeometry() : QRect(0, 0, width(), height());
    const QSize size = frameGeometry().size();
    const auto place = place_at_cursor(cursor.x(), cursor.y(), size.width(), size.height(),
                                       work.x() + work.width());
    move(place.x, place.y);
    keep_off_taskbar(*this);
    show();
    raise();
    activateWindow();
    search_->setFocus();
    search_->selectAll();
}

void RemoteDialog::open_sleep_dialog() {
    hide_on_deactivate_ = false;
    CsleepDlg dialog(settings_, this);
    const bool ok = dialog.exec() == QDialog::Accepted;
    hide_on_deactivate_ = true;
    if (isVisible()) {
        activateWindow();  // the window manager may hand the focus elsewhere when the box goes
    }
    search_->setFocus();
    lifecycle_->sleep_dialog_closed(ok);
}

void RemoteDialog::set_sleep_button_text(const std::string& text) {
    sleep_button_->setText(qt_text(text));
}

}  // namespace dravo
