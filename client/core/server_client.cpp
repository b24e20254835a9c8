#include "server_client.h"

#include <sstream>

#include "client_settings.h"
#include "remote_protocol.h"
#include "request_runner.h"
#include "text.h"

namespace dravo {

ServerClient::ServerClient(const ClientSettings& settings, RequestRunner& runner,
                           FetchLimits limits)
    : settings_(settings), runner_(runner), limits_(limits) {}

std::string ServerClient::command_url(const std::string& command) const {
    return settings_.current_server_url() + command;
}

FetchResult ServerClient::fetch(const std::string& command) {
    const std::string url = command_url(command);
    FetchResult result;
    std::ostringstream body;
    runner_.run([&] { result.ok = fetch_url(body, url, kTransferAscii, limits_); });
    result.body = std::move(body).str();
    return result;
}

void ServerClient::send(const std::string& command) {
    const std::string url = command_url(command);
    runner_.run([&] { request_url(url, limits_); });
}

std::optional<std::string> ServerClient::fetch_title() {
    auto answer = fetch(remote::command_text(remote::kTitle));
    if (!answer.ok) {
        return std::nullopt;
    }
    return strip_line_breaks(answer.body);
}

}  // namespace dravo
