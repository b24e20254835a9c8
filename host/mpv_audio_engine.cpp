#include "mpv_audio_engine.h"

#include <mpv/client.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace dravo {

namespace {

struct Option {
    const char* name;
    const char* value;
};

// Headless, audio only, deaf to the user's mpv configuration.
constexpr Option kOptions[] = {
    {"vo", "null"},          {"video", "no"},        {"terminal", "no"},
    {"idle", "yes"},         {"config", "no"},       {"input-default-bindings", "no"},
    {"audio-display", "no"}, {"volume-max", "100"},  {"ytdl", "no"},
    {"keep-open", "no"},     {"load-scripts", "no"}, {"osc", "no"},
};

long long entry_id_of(const mpv_node& result) {
    if (result.format != MPV_FORMAT_NODE_MAP) {
        return -1;
    }
    const mpv_node_list* map = result.u.list;
    for (int i = 0; i < map->num; ++i) {
        if (std::string(map->keys[i]) == "playlist_entry_id" &&
            map->values[i].format == MPV_FORMAT_INT64) {
            return map->values[i].u.int64;
        }
    }
    return -1;
}

}  // namespace

std::unique_ptr<MpvAudioEngine> MpvAudioEngine::create(const std::string& audio_output,
                                                       std::function<void()> wake,
                                                       std::string& error) {
    mpv_handle* handle = mpv_create();
    if (handle == nullptr) {
        error = "mpv_create failed (is LC_NUMERIC \"C\"?)";
        return nullptr;
    }
    for (const auto& option : kOptions) {
        mpv_set_option_string(handle, option.name, option.value);
    }
    if (!audio_output.empty() && mpv_set_option_string(handle, "ao", audio_output.c_str()) < 0) {
        error = "unknown audio output " + audio_output;
        mpv_terminate_destroy(handle);
        return nullptr;
    }
    if (const int status = mpv_initialize(handle); status < 0) {
        error = std::string("mpv_initialize failed: ") + mpv_error_string(status);
        mpv_terminate_destroy(handle);
        return nullptr;
    }
    return std::unique_ptr<MpvAudioEngine>(new MpvAudioEngine(handle, std::move(wake)));
}

MpvAudioEngine::MpvAudioEngine(mpv_handle* handle, std::function<void()> wake)
    : handle_(handle), wake_(std::move(wake)) {
    mpv_set_wakeup_callback(handle_, &MpvAudioEngine::on_wakeup, this);
    // mpv's own errors (a missing file, an audio output that does not work) are the user's
    // only hint at why nothing plays.
    mpv_request_log_messages(handle_, "error");
}

MpvAudioEngine::~MpvAudioEngine() {
    mpv_set_wakeup_callback(handle_, nullptr, nullptr);
    mpv_terminate_destroy(handle_);
}

void MpvAudioEngine::on_wakeup(void* context) { static_cast<MpvAudioEngine*>(context)->wake_(); }

void MpvAudioEngine::load(const std::string& path) {
    set_pause(false);
    {
        // From here on the old track's times are not answered any more.
        std::lock_guard lock(time_mutex_);
        seek_target_ms_.reset();
        seek_deferred_ = false;
        file_loaded_ = false;
        known_length_ms_ = -1;
    }
    forget_seeks();
    failure_pending_ = false;
    const char* command[] = {"loadfile", path.c_str(), "replace", nullptr};
    mpv_node result{};
    if (mpv_command_ret(handle_, command, &result) < 0) {
        {
            std::lock_guard lock(time_mutex_);
            current_entry_ = -1;
        }
        // mpv will not report this file: report it as failed from the event pass, as mpv would.
        failure_pending_ = true;
        wake_();
        return;
    }
    const long long entry = entry_id_of(result);
    mpv_free_node_contents(&result);
    std::lock_guard lock(time_mutex_);
    current_entry_ = entry;
}

void MpvAudioEngine::pause() { set_pause(true); }

void MpvAudioEngine::resume() { set_pause(false); }

void MpvAudioEngine::set_pause(bool paused) {
    int flag = paused ? 1 : 0;
    mpv_set_property(handle_, "pause", MPV_FORMAT_FLAG, &flag);
}

void MpvAudioEngine::stop() {
    {
        std::lock_guard lock(time_mutex_);
        current_entry_ = -1;
        seek_deferred_ = false;
        file_loaded_ = false;
        seek_target_ms_.reset();
        known_length_ms_ = -1;
    }
    forget_seeks();
    failure_pending_ = false;
    const char* command[] = {"stop", nullptr};
    mpv_command(handle_, command);
}

void MpvAudioEngine::seek(int position_ms) {
    const int target = std::max(0, position_ms);
    {
        std::lock_guard lock(time_mutex_);
        if (current_entry_ < 0) {
            return;
        }
        seek_target_ms_ = target;
        // While the file is still opening mpv may refuse a seek, or take it and lose it when
        // playback starts: keep it until the file is loaded.
        if (!file_loaded_) {
            seek_deferred_ = true;
            return;
        }
    }
    const std::string seconds =
        std::to_string(target / 1000) + "." + std::to_string(1000 + target % 1000).substr(1);
    const char* command[] = {"seek", seconds.c_str(), "absolute+exact", nullptr};
    // Asynchronous for its reply: the reply's place among mpv's events tells which seek a
    // later playback restart belongs to (see seek_stage_).
    seek_stage_ = SeekStage::asked;
    if (mpv_command_async(handle_, ++last_seek_, command) < 0) {
        seek_stage_ = SeekStage::none;
        std::lock_guard lock(time_mutex_);
        seek_target_ms_.reset();
    }
}

void MpvAudioEngine::forget_seeks() {
    ++last_seek_;  // a reply still on its way matches no seek any more
    seek_stage_ = SeekStage::none;
}

void MpvAudioEngine::follow_seek(int event_id, std::uint64_t reply_to, int error) {
    if (event_id == MPV_EVENT_COMMAND_REPLY) {
        if (reply_to != last_seek_ || seek_stage_ != SeekStage::asked) {
            return;
        }
        seek_stage_ = SeekStage::queued;
        if (error >= 0) {
            return;
        }
        // Refused (nothing seekable): mpv stays where it is, and so does the answer.
        seek_stage_ = SeekStage::none;
    } else if (event_id == MPV_EVENT_SEEK) {
        if (seek_stage_ == SeekStage::queued) {
            seek_stage_ = SeekStage::started;
        }
        return;
    } else if (event_id == MPV_EVENT_PLAYBACK_RESTART) {
        // The restart of an earlier seek, or of the file's start, leaves the target alone.
        if (seek_stage_ != SeekStage::started) {
            return;
        }
        seek_stage_ = SeekStage::none;
    } else {
        return;
    }
    std::lock_guard lock(time_mutex_);
    seek_target_ms_.reset();
}

int MpvAudioEngine::time_property(const char* name) const {
    double seconds = 0;
    if (current_entry_ < 0 || mpv_get_property(handle_, name, MPV_FORMAT_DOUBLE, &seconds) < 0 ||
        !(seconds >= 0)) {
        return -1;
    }
    return static_cast<int>(std::lround(seconds * 1000));
}

int MpvAudioEngine::position_ms() const {
    std::lock_guard lock(time_mutex_);
    // Until the new file is open mpv may still report the previous file's time.
    if (current_entry_ >= 0 && !file_loaded_) {
        return seek_target_ms_.value_or(0);
    }
    const int position =
        seek_target_ms_ && current_entry_ >= 0 ? *seek_target_ms_ : time_property("time-pos");
    // After a seek past the end mpv reports the seek's target until the end event comes.
    const int length = length_locked();
    return length >= 0 && position > length ? length : position;
}

int MpvAudioEngine::length_ms() const {
    std::lock_guard lock(time_mutex_);
    return length_locked();
}

// The lock is held across mpv's answer, so a reading never mixes an old file's state with the
// new file's time.
int MpvAudioEngine::length_locked() const {
    // mpv answers the previous file's duration until the new one is open.
    if (current_entry_ >= 0 && !file_loaded_) {
        return -1;
    }
    // ... and none while it ends the file, after a seek past the end.
    if (const int length = time_property("duration"); length >= 0) {
        known_length_ms_ = length;
    }
    return known_length_ms_;
}

void MpvAudioEngine::set_volume(int percent) {
    double volume = std::clamp(percent, 0, 100);
    mpv_set_property(handle_, "volume", MPV_FORMAT_DOUBLE, &volume);
}

void MpvAudioEngine::process_events() {
    if (failure_pending_) {
        failure_pending_ = false;
        if (listener_ != nullptr) {
            listener_->on_track_end(true);
        }
    }
    for (;;) {
        const mpv_event* event = mpv_wait_event(handle_, 0);
        if (event->event_id == MPV_EVENT_NONE) {
            return;
        }
        if (event->event_id == MPV_EVENT_LOG_MESSAGE) {
            const auto* log = static_cast<const mpv_event_log_message*>(event->data);
            const std::string line = std::string("player_host: mpv: ") + log->text;
            std::fwrite(line.data(), 1, line.size(), stderr);
            continue;
        }
        if (event->event_id == MPV_EVENT_START_FILE) {
            started_entry_ =
                static_cast<const mpv_event_start_file*>(event->data)->playlist_entry_id;
            continue;
        }
        if (event->event_id == MPV_EVENT_FILE_LOADED) {
            handle_file_loaded();
            continue;
        }
        if (event->event_id == MPV_EVENT_COMMAND_REPLY || event->event_id == MPV_EVENT_SEEK ||
            event->event_id == MPV_EVENT_PLAYBACK_RESTART) {
            follow_seek(event->event_id, event->reply_userdata, event->error);
            continue;
        }
        if (event->event_id != MPV_EVENT_END_FILE) {
            continue;
        }
        const auto* end = static_cast<const mpv_event_end_file*>(event->data);
        // Stopped or replaced entries, and entries we no longer care about, end silently.
        if (end->playlist_entry_id != current_entry_ ||
            (end->reason != MPV_END_FILE_REASON_EOF && end->reason != MPV_END_FILE_REASON_ERROR)) {
            continue;
        }
        {
            std::lock_guard lock(time_mutex_);
            current_entry_ = -1;
            seek_target_ms_.reset();
            known_length_ms_ = -1;
        }
        forget_seeks();
        if (listener_ != nullptr) {
            listener_->on_track_end(end->reason == MPV_END_FILE_REASON_ERROR);
        }
    }
}

void MpvAudioEngine::handle_file_loaded() {
    std::optional<int> deferred;
    {
        std::lock_guard lock(time_mutex_);
        // An earlier entry's late event must not mark the new one loaded.
        file_loaded_ = current_entry_ >= 0 && started_entry_ == current_entry_;
        if (seek_deferred_ && seek_target_ms_) {
            seek_deferred_ = false;
            deferred = seek_target_ms_;
        }
    }
    if (deferred) {
        seek(*deferred);
    }
}

}  // namespace dravo
