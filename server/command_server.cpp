#include "command_server.h"

#include <vector>

#include "request_parser.h"
#include "server_log.h"
#include "text.h"

namespace dravo {

using Clock = ClientConnection::Clock;

// A client whose connection finds the queue full waits a full second for its SYN retry. A
// backlog of 5, then one of 128, made bursts of clients (a crowd of pages asking together) wait
// that second, and every other client with them; the loop accepts at once, so the longest queue
// the system allows (Linux caps it at net.core.somaxconn, 4096 by default) costs nothing.
constexpr int kBacklog = 4096;
// How often the held long-polls' sockets are looked at: a page that hung up frees its place
// within this time.
constexpr int kHeldLookMs = 20;

CommandServer::CommandServer(int port, CommandTable& table, ShowNotice notice, const ServerLog& log,
                             ServerLimits limits, ClientPolicy policy, BrowserGuard guard,
                             PageService* page)
    : port_(port), table_(table), notice_(std::move(notice)), log_(log), limits_(limits),
      policy_(std::move(policy)), guard_(std::move(guard)), page_(page) {}

int CommandServer::run(const std::function<void(int)>& listening) {
    net::Listener listener;
    std::string reason;
    if (!listener.open(port_, kBacklog, reason, policy_.bind_address())) {
        state_ = State::failed;
        notice_("socket.Listen() failed\r\n" + reason, "dravo_srv Error");
        return 0;
    }
    listening_port_ = listener.port();
    state_ = State::listening;
    if (listening) {
        listening(listening_port_);
    }
    serve(listener);
    // Every connection closes before the thread ends; an answer still on its way is cut, and
    // only a reset tells its client so.
    for (auto& client : clients_) {
        if (client.held()) {
            answer_held_and_close(client);  // a long-poll ends with an answer
        } else if (client.answering()) {
            client.socket().reset();
        }
    }
    clients_.clear();
    state_ = State::stopped;
    return 0;
}

void CommandServer::serve(net::Listener& listener) {
    std::vector<net::WaitEntry> entries;
    while (!stop_requested_) {
        entries.assign(1, {listener.handle(), true, false});
        const bool with_held = held_look_due(Clock::now());
        // A connection waiting for a late answer is asked for nothing: its hang-up still shows.
        bool anyone_waits = false;
        for (auto& c : clients_) {
            anyone_waits = anyone_waits || c.held();
            const bool left_out = c.held() && !with_held;
            entries.push_back({left_out ? net::kNoHandle : c.socket().handle(),
                               !c.answering() && !c.waiting(), c.answering()});
        }
        net::wait_any(entries, limits_.wait_ms);
        auto now = Clock::now();
        if (page_) {
            page_->watch(now, anyone_waits);
        }
        std::size_t i = 1;
        for (auto it = clients_.begin(); it != clients_.end(); ++i) {
            bool ready = entries[i].readable || entries[i].writable;
            it = service(*it, ready, now) ? std::next(it) : clients_.erase(it);
        }
        if (entries[0].readable) {
            accept_all(listener);
        }
    }
}

bool CommandServer::held_look_due(Clock::time_point now) {
    if (now < next_held_look_) {
        return false;
    }
    next_held_look_ = now + std::chrono::milliseconds(kHeldLookMs);
    return true;
}

void CommandServer::accept_all(net::Listener& listener) {
    // At the limit a turn takes one more (closing the idlest) and leaves the rest queued: the
    // next turn reads the requests that have arrived meanwhile, and their answers make room, so
    // a crowd connecting at once does not push out connections whose requests are on the way.
    bool made_room = false;
    while (!made_room || clients_.size() < limits_.max_connections) {
        auto socket = listener.accept(0);
        if (!socket) {
            return;
        }
        std::string peer = socket->peer_address();
        if (!policy_.allows(peer)) {
            log_.log_error("Refused client " + peer);
            continue;  // closed without an answer
        }
        if (clients_.size() >= limits_.max_connections) {
            close_idlest();
            made_room = true;
        }
        auto now = Clock::now();
        clients_.emplace_back(std::move(*socket), now, limits_.read_idle_ms);
        // The request has often arrived with the connection: spare it a wait.
        if (!service(clients_.back(), true, now)) {
            clients_.pop_back();
        }
    }
}

void CommandServer::close_idlest() {
    auto idlest = clients_.begin();
    for (auto it = clients_.begin(); it != clients_.end(); ++it) {
        if (it->last_activity() < idlest->last_activity()) {
            idlest = it;
        }
    }
    if (idlest == clients_.end()) {
        return;
    }
    if (idlest->held()) {
        answer_held_and_close(*idlest);
    } else if (idlest->answering()) {
        idlest->socket().reset();  // a cut answer must not look complete
    }
    clients_.erase(idlest);
}

bool CommandServer::service(ClientConnection& client, bool ready, Clock::time_point now) {
    if (client.waiting()) {
        return write_late_answer(client, ready, now);
    }
    if (client.held()) {
        return answer_held(client, ready, now);
    }
    if (client.answering()) {
        if (ready && !flush(client, now)) {
            return false;
        }
        if (!client.expired(now)) {
            return true;
        }
        log_code("Error: Send() returned ", net::kTimedOut);
        // The end of an answer is the close: an orderly one would pass the cut answer off as
        // complete, so the stalled client gets a reset instead.
        client.socket().reset();
        return false;
    }
    if (ready) {
        auto result = client.read_some(now);
        if (result == ClientConnection::ReadResult::failed) {
            log_code("Error: Receive() returned ", client.error());
            return false;
        }
        if (result == ClientConnection::ReadResult::complete) {
            if (!handle_connection(client)) {
                return true;
            }
            if (client.waiting()) {
                return true;
            }
            client.start_answer(now, limits_.send_stall_ms);
            return flush(client, Clock::now());
        }
    }
    if (!client.expired(now)) {
        return true;
    }
    log_code("Error: Receive() returned ", net::kTimedOut);
    return false;
}

bool CommandServer::write_late_answer(ClientConnection& client, bool ready, Clock::time_point now) {
    // Nothing was asked of the socket, so readiness means the client hung up or broke the
    // connection: nobody is left to read the answer.
    if (ready) {
        return false;
    }
    auto result = client.take_late_answer();
    if (!result) {
        return true;  // the worker is still at it; no deadline meanwhile
    }
    client.queue(result->body);
    client.start_answer(now, limits_.send_stall_ms);
    const bool keep = flush(client, Clock::now());
    if (result->then) {
        result->then();
    }
    return keep;
}

bool CommandServer::flush(ClientConnection& client, Clock::time_point now) {
    auto result = client.flush(now);
    if (result == ClientConnection::FlushResult::pending) {
        return true;
    }
    if (result == ClientConnection::FlushResult::failed) {
        log_code("Error: Send() returned ", client.error());
    }
    client.socket().shutdown_and_close();
    return false;
}

bool CommandServer::handle_connection(ClientConnection& client) {
    const ParsedRequest request = parse_request(client.request());
    const SendText send = [&client](const std::string& piece) { client.queue(piece); };
    // A program asks whether the API is offered: its headers alone, nothing runs. An old server
    // answers the same question with the plain header.
    if (page_ && request.path.empty() && page_->is_api(request.head_path)) {
        page_->send_api_head(send);
        return true;
    }
    // The page's files load for any request (a link, a bookmark, a QR code).
    if (page_ && page_->is_file(request.path)) {
        page_->send_file(request, send);
        return true;
    }
    const bool api = page_ && page_->is_api(request.path);
    const BrowserVerdict verdict =
        guard_.judge(request, client.socket().local_address(), api || table_.has(request.path));
    if (verdict.kind == BrowserVerdict::Kind::confirm) {
        log_.log_error(
            strip_line_breaks("Asked to confirm " + request.path + " (" + verdict.why + ")"));
        send(confirmation_page());
        return true;
    }
    const DeferAnswer defer = [&client] {
        auto answer = std::make_shared<LateAnswer>();
        client.wait_for(answer);
        return answer;
    };
    if (api) {
        return handle_page(client, request, verdict, send);
    }
    // The header is queued first and so is first on the wire; the whole answer leaves in one
    // write once the command has run, which spares the client a wake-up per piece.
    for (const char* piece : kHeaderPieces) {
        send(piece);
    }
    if (verdict.kind == BrowserVerdict::Kind::refuse) {
        log_.log_error(strip_line_breaks("Refused cross-site request for " + request.path + " (" +
                                         verdict.why + ")"));
    } else {
        run_command(request, send, defer);
    }
    return true;
}

void CommandServer::run_command(const ParsedRequest& request, const SendText& send,
                                const DeferAnswer& defer) {
    if (page_) {
        page_->note_command(request.path);  // a waiting page learns of a change at once
    }
    if (table_.run(request.path, request.query, send, defer)) {
        return;
    }
    if (request.path.empty() || request.path == " ") {
        return;
    }
    std::string text = "cmd: '" + request.path + "'\r\n";
    for (const auto& [key, value] : request.query) {
        text += key + ": " + value + "\r\n";
    }
    notice_(text, "");
}

void CommandServer::log_code(const char* what, int code) {
    log_.log_error(what + to_text(static_cast<std::uint32_t>(code)));
}

}  // namespace dravo
