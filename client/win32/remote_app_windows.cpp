#include "remote_app_windows.h"

namespace dravo {

RemoteAppWin32::RemoteAppWin32(ClientSettings& settings, RequestRunner& runner)
    : dialog_(settings), tray_([this] { return dialog_.window(); }),
      session_(settings, dialog_, runner),
      keys_([this] { return dialog_.window(); }, session_, [this] { lifecycle_.bring_up(); }),
      lifecycle_(settings, session_, dialog_, {osd_, tray_, keys_, *this}),
      browser_(make_service_browser()), server_menu_(settings, session_, *browser_) {
    dialog_.set_timer_sink([this](UINT_PTR id) { timer_fired(id); });
    dialog_.set_media_key_sink([this](std::uint32_t lparam) { return keys_.handle(lparam); });
    dialog_.set_task_sink([this] { run_posted_tasks(); });
}

RemoteAppWin32::~RemoteAppWin32() = default;

int RemoteAppWin32::run() {
    if (!dialog_.create()) {
        return 1;
    }
    dialog_.attach(session_, lifecycle_, tray_, osd_, server_menu_);
    browser_->start();
    lifecycle_.start_up();
    // The server's pushes where it offers them; an older server sees one HEAD and nothing more.
    feed_ = std::make_unique<SessionFeed>(
        session_, [this](StateFeed::Task task) { post_task(std::move(task)); });
    feed_->start();
    MSG message;
    while (!ended_ && GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (!dialog_.pre_translate(message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    lifecycle_.shut_down();  // when something else ended the loop (WM_QUIT)
    return 0;
}

void RemoteAppWin32::start_timer(ClientTimer timer, int period_ms) {
    SetTimer(dialog_.window(), static_cast<UINT_PTR>(timer), static_cast<UINT>(period_ms), nullptr);
}

void RemoteAppWin32::stop_timer(ClientTimer timer) {
    KillTimer(dialog_.window(), static_cast<UINT_PTR>(timer));
}

void RemoteAppWin32::call_later(int ms, std::function<void()> call) {
    const UINT_PTR id = next_later_++;
    later_[id] = std::move(call);
    SetTimer(dialog_.window(), id, static_cast<UINT>(ms), nullptr);
}

void RemoteAppWin32::end_loop() {
    dialog_.hide_for_good();
    ended_ = true;
    PostQuitMessage(0);
}

void RemoteAppWin32::timer_fired(UINT_PTR id) {
    if (id == static_cast<UINT_PTR>(ClientTimer::status)) {
        lifecycle_.timer_fired(ClientTimer::status);
        return;
    }
    KillTimer(dialog_.window(), id);  // the others fire once
    if (id == static_cast<UINT_PTR>(ClientTimer::sleep)) {
        lifecycle_.timer_fired(ClientTimer::sleep);
        return;
    }
    if (auto found = later_.find(id); found != later_.end()) {
        auto call = std::move(found->second);
        later_.erase(found);
        call();
    }
}

void RemoteAppWin32::post_task(StateFeed::Task task) {
    {
        std::lock_guard lock(tasks_mutex_);
        tasks_.push_back(std::move(task));
    }
    dialog_.wake_for_tasks();
}

void RemoteAppWin32::run_posted_tasks() {
    std::vector<StateFeed::Task> tasks;
    {
        std::lock_guard lock(tasks_mutex_);
        tasks.swap(tasks_);
    }
    for (auto& task : tasks) {
        task();
    }
}

}  // namespace dravo
