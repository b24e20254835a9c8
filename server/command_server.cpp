#include "command_server.h"

#include <chrono>

#include "plugin_host.h"
#include "request_parser.h"
#include "server_log.h"
#include "text.h"

namespace dravo {
namespace {

using Clock = std::chrono::steady_clock;

int remaining_ms(Clock::time_point deadline) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return static_cast<int>(std::max<std::int64_t>(0, left.count()));
}

std::string code_text(int code) { return to_text(static_cast<std::uint32_t>(code)); }

}  // namespace

CommandServer::CommandServer(int port, CommandTable& table, PluginHost& host,
                             const ServerLog& log, ServerLimits limits)
    : port_(port), table_(table), host_(host), log_(log), limits_(limits) {}

int CommandServer::run() {
    net::Listener listener;
    std::string reason;
    if (!listener.open(port_, 5, reason)) {
        state_ = State::failed;
        host_.message_box("socket.Listen() failed\r\n" + reason, "dravo_srv Error");
        return 0;
    }
    listening_port_ = listener.port();
    state_ = State::listening;
    while (!stop_requested_) {
        auto accepted = listener.accept(limits_.accept_wait_ms);
        if (!accepted) continue;
        connection_ = std::move(*accepted);
        handle_connection();
    }
    state_ = State::stopped;
    return 0;
}

void CommandServer::handle_connection() {
    query.clear();
    connection_stalled_ = false;
    std::string text;
    if (!read_request(text)) {
        connection_.shutdown_and_close();
        return;
    }
    ParsedRequest request = parse_request(text);
    query = std::move(request.query);
    connection_.hold_output(true);
    for (const char* piece : kHeaderPieces) send_text(piece);
    run_command(request.path);
    connection_.shutdown_and_close();
}

// Gathers the request until its empty line, the peer's close or a full buffer. False when the
// connection failed or fell silent; the reason is logged.
bool CommandServer::read_request(std::string& text) {
    char buffer[kRequestMax];
    auto deadline = Clock::now() + std::chrono::milliseconds(limits_.read_idle_ms);
    while (!stop_requested_) {
        long n = connection_.receive(buffer, kRequestMax - text.size());
        if (n > 0) {
            text.append(buffer, static_cast<std::size_t>(n));
            deadline = Clock::now() + std::chrono::milliseconds(limits_.read_idle_ms);
            if (text.size() == kRequestMax) return true;
            continue;
        }
        if (n == 0) return true;  // the client closed its side: take what came
        if (connection_.last_error() != net::kWouldBlock) {
            log_.log_error("Error: Receive() returned " + code_text(connection_.last_error()));
            return false;
        }
        if (request_complete(text)) return true;
        int left = remaining_ms(deadline);
        if (left == 0) {
            log_.log_error("Error: Receive() returned " + code_text(net::kTimedOut));
            return false;
        }
        connection_.wait_readable(std::min(left, limits_.accept_wait_ms));
    }
    return false;
}

void CommandServer::run_command(const std::string& path) {
    if (table_.run(path, query, [this](const std::string& piece) { send_text(piece); })) return;
    if (path.empty() || path == " ") return;
    std::string text = "cmd: '" + path + "'\r\n";
    for (const auto& [key, value] : query) text += key + ": " + value + "\r\n";
    host_.message_box(text, "");
}

void CommandServer::send_text(const std::string& text) {
    // A client that stopped reading gets nothing more on this connection.
    if (connection_stalled_) return;
    std::size_t offset = 0;
    auto deadline = Clock::now() + std::chrono::milliseconds(limits_.send_stall_ms);
    while (offset < text.size()) {
        long n = connection_.send(text.data() + offset, text.size() - offset);
        if (n > 0) {
            offset += static_cast<std::size_t>(n);
            deadline = Clock::now() + std::chrono::milliseconds(limits_.send_stall_ms);
            continue;
        }
        int code = n < 0 ? connection_.last_error() : net::kWouldBlock;
        if (code != net::kWouldBlock) {
            log_.log_error("Error: Send() returned " + code_text(code));
            return;
        }
        int left = remaining_ms(deadline);
        if (left == 0 || stop_requested_) {
            log_.log_error("Error: Send() returned " + code_text(net::kTimedOut));
            connection_stalled_ = true;
            return;
        }
        connection_.wait_writable(std::min(left, limits_.accept_wait_ms));
    }
}

}  // namespace dravo
