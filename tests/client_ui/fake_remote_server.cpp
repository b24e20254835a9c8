// A stand-in server for the window checks: answers the client's requests with a fixed title,
// list and status on 127.0.0.1, prints its base URL and serves until it is killed.
//   client_ui_fake_server "Title text"
#include <unistd.h>

#include <cstdio>

#include "local_http_server.h"

int main(int argc, char** argv) {
    const std::string title = argc > 1 ? argv[1] : "Artist - Song";
    dravo::test::LocalHttpServer server({
        {"/title", {200, title}},
        {"/list", {200, "Artist - Song\nAnother Artist - Another Song\nThird - Track\n"}},
        {"/status", {200, "playing: 1\nrepeat: 0\nshuffle: 1\nvolume: 70\n"}},
        {"/get_filter", {200, "artist"}},
    });
    if (!server.listening()) {
        return 1;
    }
    std::printf("%s\n", server.base_url().c_str());
    std::fflush(stdout);
    for (;;) {
        pause();
    }
}
