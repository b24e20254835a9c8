// The command server's side of the browser page's API: refused and allowed API requests, and
// the long-polls it holds. Held requests count toward the open connections; at most
// PageLimits::max_waiting are held (beyond, the one held longest is answered at once with the
// current state), and every held request ends with an answer: on a change, at its time limit,
// when the connection limit evicts it, and at quit.
#include "command_server.h"
#include "server_log.h"
#include "text.h"

namespace dravo {

using Clock = ClientConnection::Clock;

bool CommandServer::handle_page(ClientConnection& client, const ParsedRequest& request,
                                const BrowserVerdict& verdict, const SendText& send) {
    if (verdict.kind == BrowserVerdict::Kind::refuse) {
        log_.log_error(strip_line_breaks("Refused cross-site request for " + request.path + " (" +
                                         verdict.why + ")"));
        page_->send_refusal(send);
        return true;
    }
    const auto now = Clock::now();
    // A seek or a filter reads the state afresh, so waiting pages see it on the next turn.
    const auto wait = page_->run_api(request, send, now);
    if (!wait) {
        return true;
    }
    hold(client, *wait, now);
    return false;
}

void CommandServer::hold(ClientConnection& client, const PageWait& wait, Clock::time_point now) {
    std::size_t held = 0;
    ClientConnection* oldest = nullptr;
    for (auto& other : clients_) {
        if (!other.held()) {
            continue;
        }
        ++held;
        if (!oldest || other.held_since() < oldest->held_since()) {
            oldest = &other;
        }
    }
    if (oldest && held >= page_->limits().max_waiting) {
        // Answered now, it leaves by the ordinary path (flushed and closed by its next turn).
        oldest->queue(page_->wait_answer());
        oldest->release();
        oldest->start_answer(now, limits_.send_stall_ms);
    }
    client.hold(wait.seen, wait.until, now);
}

bool CommandServer::answer_held(ClientConnection& client, bool ready, Clock::time_point now) {
    // A page that gave up (a phone gone to sleep, a reload) closes its side: its place is freed.
    if (ready) {
        char byte;
        const long n = client.socket().receive(&byte, 1);
        if (n == 0 || (n < 0 && client.socket().last_error() != net::kWouldBlock)) {
            return false;
        }
    }
    if (!page_->wait_over({client.held_seen(), client.held_until()}, now)) {
        return true;
    }
    client.queue(page_->wait_answer());
    client.release();
    client.start_answer(now, limits_.send_stall_ms);
    return flush(client, now);
}

void CommandServer::answer_held_and_close(ClientConnection& client) {
    client.queue(page_->wait_answer());
    client.release();
    // The answer is a few hundred bytes to a socket that has sent nothing yet: it fits.
    (void)client.flush(Clock::now());
    client.socket().shutdown_and_close();
}

}  // namespace dravo
