// A stand-in server for the window checks: answers the client's requests with a fixed title,
// list and status on 127.0.0.1, prints its base URL and serves until it is killed. With
// --hold-filter the server's filter is never answered, so a client's start-up stays in its last
// request (until the client's time limit).
//   client_ui_fake_server "Title text" [--hold-filter]
#include <unistd.h>

#include <cstdio>
#include <string>

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
    if (argc > 2 && std::string(argv[2]) == "--hold-filter") {
        server.hold("/get_filter");
    }
    std::printf("%s\n", server.base_url().c_str());
    std::fflush(stdout);
    for (;;) {
        pause();
    }
}
