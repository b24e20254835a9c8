#pragma once
// One accepted connection of the command server: its request bytes coming in and its answer
// going out. Owned and used by the listener thread only.
#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>

#include "late_answer.h"
#include "net_socket.h"

namespace dravo {

inline constexpr std::size_t kRequestMax = 4095;

class ClientConnection {
public:
    using Clock = std::chrono::steady_clock;
    enum class ReadResult { pending, complete, failed };
    enum class FlushResult { pending, done, failed };

    ClientConnection(net::Connection socket, Clock::time_point now, int read_idle_ms);

    // Takes what has arrived. complete: the empty line came, the client closed its side, or the
    // buffer is full. failed: a receive error (see error()).
    ReadResult read_some(Clock::time_point now);
    // Queues answer bytes; nothing is sent until flush.
    void queue(const std::string& bytes);
    // Sends what the socket takes now. done: everything queued has gone.
    FlushResult flush(Clock::time_point now);
    // Starts the answering phase: the deadline becomes the no-progress limit for sending.
    void start_answer(Clock::time_point now, int send_stall_ms);
    // The rest of the answer comes from a worker: until it is finished the connection neither
    // reads nor writes and has no deadline.
    void wait_for(std::shared_ptr<LateAnswer> answer) { late_ = std::move(answer); }
    bool waiting() const { return late_ != nullptr; }
    // The late answer once its worker finished it (the connection stops waiting), else nullopt.
    std::optional<LateAnswer::Result> take_late_answer();

    // A long-poll: the request is complete and its answer waits for a change; nothing is sent
    // until release() (the server reads only to see whether its client hung up). seen: the
    // revision its page last saw.
    void hold(std::uint64_t seen, Clock::time_point until, Clock::time_point now) {
        held_ = true;
        held_seen_ = seen;
        held_until_ = until;
        held_since_ = now;
    }
    void release() { held_ = false; }
    bool held() const { return held_; }
    std::uint64_t held_seen() const { return held_seen_; }
    Clock::time_point held_until() const { return held_until_; }
    Clock::time_point held_since() const { return held_since_; }

    bool answering() const { return answering_; }
    bool has_output() const { return !out_.empty(); }
    bool expired(Clock::time_point now) const { return now >= deadline_; }
    Clock::time_point last_activity() const { return last_activity_; }
    const std::string& request() const { return in_; }
    int error() const { return error_; }
    net::Connection& socket() { return socket_; }
    const net::Connection& socket() const { return socket_; }

private:
    net::Connection socket_;
    std::string in_;
    // The answer in chunks: a long one (a playlist) is never copied again as it grows.
    std::deque<std::string> out_;
    std::size_t sent_ = 0;  // of out_.front()
    bool answering_ = false;
    std::shared_ptr<LateAnswer> late_;
    bool held_ = false;
    std::uint64_t held_seen_ = 0;
    Clock::time_point held_until_;
    Clock::time_point held_since_;
    int idle_ms_;
    int error_ = 0;
    Clock::time_point deadline_;
    Clock::time_point last_activity_;
};

}  // namespace dravo
