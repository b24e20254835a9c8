#include "client_connection.h"

#include "request_parser.h"

namespace dravo {

ClientConnection::ClientConnection(net::Connection socket, Clock::time_point now, int read_idle_ms)
    : socket_(std::move(socket)), idle_ms_(read_idle_ms),
      deadline_(now + std::chrono::milliseconds(read_idle_ms)), last_activity_(now) {}

ClientConnection::ReadResult ClientConnection::read_some(Clock::time_point now) {
    char buffer[kRequestMax];
    for (;;) {
        long n = socket_.receive(buffer, kRequestMax - in_.size());
        if (n > 0) {
            in_.append(buffer, static_cast<std::size_t>(n));
            last_activity_ = now;
            deadline_ = now + std::chrono::milliseconds(idle_ms_);
            if (in_.size() == kRequestMax) {
                return ReadResult::complete;
            }
            continue;
        }
        if (n == 0) {
            return ReadResult::complete;  // the client closed its side: take what came
        }
        if (socket_.last_error() != net::kWouldBlock) {
            error_ = socket_.last_error();
            return ReadResult::failed;
        }
        return request_complete(in_) ? ReadResult::complete : ReadResult::pending;
    }
}

void ClientConnection::start_answer(Clock::time_point now, int send_stall_ms) {
    answering_ = true;
    idle_ms_ = send_stall_ms;
    deadline_ = now + std::chrono::milliseconds(send_stall_ms);
}

std::optional<LateAnswer::Result> ClientConnection::take_late_answer() {
    auto result = late_ ? late_->take() : std::nullopt;
    if (result) {
        late_.reset();
    }
    return result;
}

void ClientConnection::queue(const std::string& bytes) {
    // Small pieces join the last chunk, so a short answer still leaves in one write.
    constexpr std::size_t kChunkBytes = 64 * 1024;
    if (bytes.empty()) {
        return;  // an empty chunk would be a send of nothing
    }
    if (out_.empty() || out_.back().size() >= kChunkBytes) {
        out_.emplace_back();
    }
    out_.back() += bytes;
}

ClientConnection::FlushResult ClientConnection::flush(Clock::time_point now) {
    while (!out_.empty()) {
        const std::string& chunk = out_.front();
        long n = socket_.send(chunk.data() + sent_, chunk.size() - sent_);
        if (n > 0) {
            sent_ += static_cast<std::size_t>(n);
            last_activity_ = now;
            deadline_ = now + std::chrono::milliseconds(idle_ms_);
            if (sent_ == chunk.size()) {
                out_.pop_front();
                sent_ = 0;
            }
            continue;
        }
        if (n < 0 && socket_.last_error() != net::kWouldBlock) {
            error_ = socket_.last_error();
            return FlushResult::failed;
        }
        return FlushResult::pending;
    }
    return FlushResult::done;
}

}  // namespace dravo
