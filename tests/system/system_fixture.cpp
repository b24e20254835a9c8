#include "system_fixture.h"

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>

#include "loopback_client.h"

namespace dravo::test {
namespace {

bool run(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

struct Track {
    const char* path;
    const char* artist;
    const char* title;
    int seconds;
};

// Folders and files chosen for the filter: jazz in folder and file names, national letters.
// Long enough that a track is still playing when a slow test run looks at its title.
const Track kTracks[] = {
    {"Jazz/Live/Blue Live.mp3", "Quartet", "Blue Live", 12},
    {"Jazz/Studio Take.ogg", "Trio", "Studio", 20},
    {"Rock/Värld.mp3", "Band", "Världen", 20},
    {"Rock/jazzy untagged.wav", nullptr, nullptr, 20},
    {"Pop/Song.mp3", "Singer", "Song", 20},
};

bool make_track(const std::string& root, const Track& t) {
    std::string full = root + "/" + t.path;
    std::filesystem::create_directories(std::filesystem::path(full).parent_path());
    std::string wav = full + ".tmp.wav";
    std::string ext = std::filesystem::path(full).extension().string();
    if (!run("sox -n -b 16 -r 22050 -c 1 '" + (ext == ".wav" ? full : wav) + "' synth " +
             std::to_string(t.seconds) + " sine 440")) {
        return false;
    }
    if (ext == ".wav") {
        return true;
    }
    bool ok = ext == ".mp3" ? run("lame --quiet --ta '" + std::string(t.artist) + "' --tt '" +
                                  t.title + "' '" + wav + "' '" + full + "'")
                            : run("oggenc -Q -a '" + std::string(t.artist) + "' -t '" + t.title +
                                  "' -o '" + full + "' '" + wav + "'");
    std::filesystem::remove(wav);
    return ok;
}

}  // namespace

const SampleMusic& SampleMusic::get() {
    static SampleMusic music = [] {
        SampleMusic m;
        m.folder = std::make_unique<TempDir>();
        std::string root = m.folder->file("music");
        for (const auto& t : kTracks) {
            if (!make_track(root, t)) {
                return m;
            }
        }
        m.root = root;
        return m;
    }();
    return music;
}

std::string SampleMusic::title_of(const std::string& full_path) const {
    for (const auto& t : kTracks) {
        if (full_path != root + "/" + t.path) {
            continue;
        }
        if (t.artist) {
            return std::string(t.artist) + " - " + t.title;
        }
        return std::filesystem::path(t.path).stem().string();
    }
    return "?";
}

SystemHost::SystemHost(const std::string& media_root, const std::string& extra_ini) {
    std::filesystem::create_directories(work_.file("plugins"));
    std::filesystem::copy_file(DRAVO_PLUGIN_PATH, work_.file("plugins/gen_dravo_srv.so"));
    // Another test program may take the free port before the host binds it: then try another.
    for (int attempt = 0; attempt < 3 && !ready_; ++attempt) {
        port_ = free_port();
        work_.write("plugins/gen_dravo_srv.ini", "[Settings]\r\nport=" + std::to_string(port_) +
                                                     "\r\nmedia_root=" + media_root +
                                                     "\r\nannounce=off\r\n" + extra_ini);
        process_ = std::make_unique<HostProcess>(
            std::vector<std::string>{"--plugins", work_.file("plugins"), "--audio-output", "null",
                                     "--state-dir", "state"},
            std::vector<std::string>{"TMP=" + work_.path()}, work_.file("stderr.txt"),
            work_.path());
        ready_ = process_->running() && listening();
    }
}

bool SystemHost::listening() const {
    for (auto until = std::chrono::steady_clock::now() + std::chrono::seconds(15);
         std::chrono::steady_clock::now() < until;) {
        if (wait_for_port(port_, 200)) {
            return true;
        }
        if (host_errors().find("socket.Listen() failed") != std::string::npos) {
            return false;
        }
    }
    return false;
}

SystemHost::~SystemHost() { process_.reset(); }

std::optional<std::string> SystemHost::body(const std::string& target) {
    auto answer = send_request(port_, "GET " + target + " HTTP/1.0\r\n\r\n", 60000);
    if (!answer || answer->compare(0, header_bytes().size(), header_bytes()) != 0) {
        return std::nullopt;
    }
    return answer->substr(header_bytes().size());
}

std::string SystemHost::host_errors() const {
    std::ifstream in(work_.file("stderr.txt"), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace dravo::test
