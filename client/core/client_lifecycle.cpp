#include "client_lifecycle.h"

#include "client_settings.h"
#include "remote_protocol.h"
#include "remote_session.h"
#include "remote_view.h"
#include "timer_period.h"

namespace dravo {
namespace {

constexpr const char* kHookFailed = "SetMMShellHook() failed!";
constexpr int kRetryEndMs = 10;

}  // namespace

bool install_media_keys(KeyHook& keys, RemoteView& view) {
    if (keys.install()) {
        return true;
    }
    view.show_error(kHookFailed);
    view.show_osd(std::string("ERROR: ") + kHookFailed);
    return false;
}

ClientLifecycle::ClientLifecycle(ClientSettings& settings, RemoteSession& session, RemoteView& view,
                                 ClientParts parts, SleepTimer::Clock clock)
    : settings_(settings), session_(session), view_(view), parts_(parts), sleep_(std::move(clock)) {
    session_.set_after_tick([this] { show_sleep_time(); });
}

void ClientLifecycle::start_up() {
    if (!parts_.osd.init(settings_.use_osd, settings_.osd_duration, settings_.osd_outline_width)) {
        view_.show_error("init_osd() failed!");
    }
    install_media_keys(parts_.keys, view_);
    parts_.tray.add();
    view_.focus_search();
    view_.set_shuffle_box(ShuffleBox::indeterminate);
    view_.set_volume_slider(remote::kVolumeMax - session_.state().volume);
    session_.load_track_list();
    parts_.loop.start_timer(ClientTimer::status, timer_period_ms(settings_.refresh_interval));
    if (settings_.update_on_startup && session_.update_at_startup()) {
        parts_.loop.call_later(kUpdateShowMs, [this] { end(); });
    }
    parts_.keys.register_actions();
    session_.poll_status();
    session_.load_filter();
}

void ClientLifecycle::shut_down() {
    if (shut_down_) {
        return;
    }
    shut_down_ = true;
    parts_.loop.stop_timer(ClientTimer::status);
    parts_.loop.stop_timer(ClientTimer::sleep);
    sleep_.cancel();
    settings_.save_to_file();
    parts_.tray.remove();
    parts_.keys.remove();
}

void ClientLifecycle::end() {
    if (ended_) {
        return;
    }
    if (session_.busy()) {
        // Called from a timer or a signal while a request waits: end once it is done.
        parts_.loop.call_later(kRetryEndMs, [this] { end(); });
        return;
    }
    shut_down();
    ended_ = true;
    parts_.loop.end_loop();
}

void ClientLifecycle::timer_fired(ClientTimer timer) {
    if (timer == ClientTimer::status) {
        session_.status_tick();
        return;
    }
    if (!sleep_.due()) {
        arm_sleep_timer();  // a long sleep time runs in several waits
        return;
    }
    sleep_.cancel();
    session_.sleep_expired();
    show_sleep_time();
}

void ClientLifecycle::tray_clicked(TrayClick click) {
    if (click == TrayClick::right) {
        bring_up();
    } else if (click == TrayClick::left) {
        session_.show_title();
    }
}

void ClientLifecycle::bring_up() {
    show_sleep_time();
    view_.show_at_cursor();
}

void ClientLifecycle::sleep_dialog_closed(bool accepted) {
    parts_.loop.stop_timer(ClientTimer::sleep);
    sleep_.cancel();
    if (accepted) {
        sleep_.start(settings_.sleep_hours, settings_.sleep_minutes);
        arm_sleep_timer();
    }
    show_sleep_time();
}

void ClientLifecycle::show_sleep_time() { view_.set_sleep_button_text(sleep_.button_text()); }

void ClientLifecycle::arm_sleep_timer() {
    if (const auto wait = sleep_.next_wait_ms()) {
        parts_.loop.start_timer(ClientTimer::sleep, *wait);
    }
}

}  // namespace dravo
