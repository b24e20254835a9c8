// dravo_browse_probe [SECONDS]: prints what the client's service browser finds each time its list
// changes, one line per server ("server<TAB>name<TAB>host<TAB>address<TAB>port<TAB>texts<TAB>url",
// the texts joined by blanks), then "count<TAB>N". Ends after SECONDS (default 60) or at SIGTERM
// or SIGINT: stops the browser and prints "stopped". Exit 1 when this build cannot browse.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <mutex>

#include "service_browser.h"

namespace {

std::mutex output;  // the browser's thread prints; main prints only after stop()

void print(const dravo::ServiceBrowser& browser) {
    const std::lock_guard lock(output);
    const auto found = browser.found();
    for (const auto& server : found) {
        std::string texts;
        for (const auto& text : server.texts) {
            texts += (texts.empty() ? "" : " ") + text;
        }
        std::printf("server\t%s\t%s\t%s\t%d\t%s\t%s\n", server.name.c_str(), server.host.c_str(),
                    server.address.c_str(), server.port, texts.c_str(),
                    dravo::server_url(server).c_str());
    }
    std::printf("count\t%zu\n", found.size());
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    const long seconds = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 60;
    // Blocked before the browser's thread starts, so it inherits the mask and main takes them.
    sigset_t stops;
    sigemptyset(&stops);
    sigaddset(&stops, SIGTERM);
    sigaddset(&stops, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stops, nullptr);

    const auto browser = dravo::make_service_browser();
    if (!browser->start([&browser] { print(*browser); })) {
        std::puts("no browser");
        return 1;
    }
    const timespec wait{seconds, 0};
    sigtimedwait(&stops, nullptr, &wait);
    browser->stop();
    std::puts("stopped");
    return 0;
}
