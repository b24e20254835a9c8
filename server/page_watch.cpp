#include "page_watch.h"

namespace dravo {

PageWatch::PageWatch(Reader reader, std::uint64_t first_revision)
    : reader_(std::move(reader)), revision_(first_revision), list_revision_(first_revision) {
    json_ = page_state_json(state_, revision_, list_revision_);
}

void PageWatch::watch(Clock::time_point now, bool anyone_waits) {
    if (!anyone_waits) {
        return;
    }
    if (dirty_ || now - last_read_ >= std::chrono::milliseconds(kWatchPeriodMs)) {
        refresh(now);
    }
}

void PageWatch::refresh_if_stale(Clock::time_point now) {
    if (dirty_ || !read_once_ || now - last_read_ >= std::chrono::milliseconds(kWatchPeriodMs)) {
        refresh(now);
    }
}

void PageWatch::refresh(Clock::time_point now) {
    PageState next = reader_();
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(now - last_read_).count();
    const bool changed = !read_once_ || page_state_changed(state_, next, static_cast<int>(elapsed));
    const bool list_changed =
        !read_once_ || next.count != state_.count || next.list_mark != state_.list_mark;
    if (read_once_ && changed) {
        ++revision_;
    }
    if (read_once_ && list_changed) {
        ++list_revision_;
    }
    state_ = std::move(next);
    read_once_ = true;
    dirty_ = false;
    last_read_ = now;
    json_ = page_state_json(state_, revision_, list_revision_);
}

std::uint64_t first_page_revision() {
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                          std::chrono::system_clock::now().time_since_epoch())
                                          .count());
}

}  // namespace dravo
