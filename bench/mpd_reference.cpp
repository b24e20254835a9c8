#include "mpd_reference.h"

#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <thread>

#include "loopback_client.h"

namespace dravo::bench {
namespace {

struct Folder {
    std::map<std::string, Folder> folders;
    std::vector<std::string> songs;
};

// MPD's plain-text database: the folders first, then the songs, as MPD writes it. With no tags
// in use the header lists none, so any version takes it.
void write_folder(std::ostream& out, const Folder& folder, const std::string& path) {
    for (const auto& [name, child] : folder.folders) {
        const std::string child_path = path.empty() ? name : path + "/" + name;
        out << "directory: " << name << "\nmtime: 0\nbegin: " << child_path << "\n";
        write_folder(out, child, child_path);
        out << "end: " << child_path << "\n";
    }
    for (const auto& song : folder.songs) {
        out << "song_begin: " << song << "\nTime: 180.000000\nmtime: 0\nsong_end\n";
    }
}

void write_database(const std::string& file, const std::vector<std::string>& paths) {
    Folder root;
    for (const auto& path : paths) {
        Folder* folder = &root;
        std::size_t start = 0;
        for (std::size_t slash; (slash = path.find('/', start)) != std::string::npos;
             start = slash + 1) {
            folder = &folder->folders[path.substr(start, slash - start)];
        }
        folder->songs.push_back(path.substr(start));
    }
    std::ofstream out(file, std::ios::binary);
    out << "info_begin\nformat: 2\nmpd_version: 0.23\nfs_charset: UTF-8\ninfo_end\n";
    write_folder(out, root, "");
}

bool ends_answer(const std::string& text) {
    const auto last = text.rfind('\n', text.size() - 2);
    const std::string line = text.substr(last == std::string::npos ? 0 : last + 1);
    return line == "OK\n" || line.rfind("ACK ", 0) == 0;
}

}  // namespace

MpdReference::MpdReference(const std::vector<std::string>& relative_paths) {
    if (std::system("command -v mpd >/dev/null 2>&1") != 0) {
        why_ = "mpd is not installed";
        return;
    }
    std::filesystem::create_directories(work_.file("music"));
    std::filesystem::create_directories(work_.file("playlists"));
    write_database(work_.file("database"), relative_paths);
    std::ofstream list(work_.file("playlists/bench.m3u"), std::ios::binary);
    for (const auto& path : relative_paths) {
        list << path << "\n";
    }
    list.close();
    if (start(relative_paths.size()) &&
        command("load bench\n").rfind("OK\n") == std::string::npos) {
        why_ = "mpd did not load the queue";
    }
    if (ready() && command("status\n")
                           .find("playlistlength: " + std::to_string(relative_paths.size()) +
                                 "\n") == std::string::npos) {
        why_ = "mpd's queue is not the whole list";
    }
}

bool MpdReference::start(std::size_t entries) {
    port_ = test::free_port();
    std::ofstream(work_.file("mpd.conf"))
        << "music_directory \"" << work_.file("music") << "\"\n"
        << "playlist_directory \"" << work_.file("playlists") << "\"\n"
        << "db_file \"" << work_.file("database") << "\"\n"
        << "log_file \"" << work_.file("mpd.log") << "\"\n"
        << "bind_to_address \"127.0.0.1\"\nport \"" << port_ << "\"\n"
        << "auto_update \"no\"\nzeroconf_enabled \"no\"\nmetadata_to_use \"none\"\n"
        << "max_playlist_length \"" << entries + 1 << "\"\n"
        << "max_output_buffer_size \"" << 65536 << "\"\n"
        << "audio_output {\n  type \"null\"\n  name \"null\"\n}\n";
    pid_ = fork();
    if (pid_ == 0) {
        const std::string conf = work_.file("mpd.conf");
        // Its start-up notes go to its log, not between the figures.
        if (FILE* log = std::freopen(work_.file("mpd.stderr").c_str(), "w", stderr)) {
            (void)log;
        }
        execlp("mpd", "mpd", "--no-daemon", conf.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    for (auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
         std::chrono::steady_clock::now() < until;
         std::this_thread::sleep_for(std::chrono::milliseconds(20))) {
        if (command("ping\n") == "OK\n") {
            return true;
        }
    }
    why_ = "mpd did not answer on port " + std::to_string(port_);
    return false;
}

MpdReference::~MpdReference() {
    if (pid_ <= 0) {
        return;
    }
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
}

std::string MpdReference::command(const std::string& line) const {
    const int fd = connect_to(port_);
    if (fd < 0) {
        return {};
    }
    std::string answer;
    char buffer[65536];
    bool greeted = false;
    for (long n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) {
        answer.append(buffer, static_cast<std::size_t>(n));
        if (!greeted && answer.find('\n') != std::string::npos) {
            greeted = true;
            answer.erase(0, answer.find('\n') + 1);
            if (::write(fd, line.data(), line.size()) != static_cast<long>(line.size())) {
                break;
            }
        }
        if (greeted && !answer.empty() && answer.back() == '\n' && ends_answer(answer)) {
            break;
        }
    }
    ::close(fd);
    return answer;
}

std::string MpdReference::playlist() const {
    std::string answer = command("playlist\n");
    return answer.size() >= 3 && answer.compare(answer.size() - 3, 3, "OK\n") == 0 ? answer
                                                                                   : std::string();
}

// A blocking connection to a loopback port; -1 when refused.
int connect_to(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace dravo::bench
