// "/set_filter" and "/list" end to end over 100,000 files: the real host with null audio, the
// real plug-in, HTTP on loopback. Usage: dravo_system_filter_bench [files]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "system_fixture.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Empty files are enough: the host reads tags only when a title is asked for.
std::string make_tree(int files) {
    std::string dir =
        (fs::temp_directory_path() / ("dravo_system_bench_" + std::to_string(files))).string();
    if (fs::exists(dir + "/complete")) {
        return dir;
    }
    fs::remove_all(dir);
    for (int i = 0; i < files; ++i) {
        std::string album =
            dir + "/Artist " + std::to_string(i / 1000) + "/Album " + std::to_string(i / 100 % 10);
        if (i % 100 == 0) {
            fs::create_directories(album);
        }
        std::ofstream(album + "/Track " + std::to_string(i % 100) + (i % 7 ? " live.mp3" : ".mp3"));
    }
    std::ofstream(dir + "/complete");
    return dir;
}

double time_ms(dravo::test::SystemHost& host, const std::string& target, std::size_t& bytes) {
    auto start = Clock::now();
    bytes = host.body(target).value_or("").size();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    int files = argc > 1 ? std::atoi(argv[1]) : 100000;
    std::string root = make_tree(files);
    dravo::test::SystemHost host(root);
    if (!host.ready()) {
        std::fprintf(stderr, "host did not start:\n%s\n", host.host_errors().c_str());
        return 1;
    }
    std::size_t bytes = 0;
    std::printf("%d files under %s\n", files, root.c_str());
    double first = time_ms(host, "/set_filter?filter=*", bytes);
    std::printf("first /set_filter *  (scan, cache file, playlist) %8.1f ms\n", first);
    for (const char* filter : {"*", "live", "artist%205", "%22track%209%22%20-live"}) {
        double best = 1e9;
        for (int i = 0; i < 3; ++i) {
            best =
                std::min(best, time_ms(host, std::string("/set_filter?filter=") + filter, bytes));
        }
        double list = time_ms(host, "/list", bytes);
        std::printf("/set_filter %-22s %8.1f ms   then /list %8.1f ms (%zu bytes)\n", filter, best,
                    list, bytes);
    }
    host.body("/shutdown");
    return 0;
}
