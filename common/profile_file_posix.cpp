// Whole-file reading and atomic replacement on POSIX: write a sibling temporary file, fsync it,
// rename it over the original, fsync the folder. Text is UTF-8, as in a file with the UTF-8 mark.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>

#include "profile_io.h"

namespace dravo::detail {
namespace {

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() { close(); }
    int get() const { return fd_; }
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int fd_;
};

bool write_all(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const auto written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// A symbolic link is followed, so the rename replaces its target and the link stays.
std::string real_target(const std::string& file) {
    struct stat info {};
    if (::lstat(file.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
        return file;
    }
    char resolved[PATH_MAX];
    return ::realpath(file.c_str(), resolved) ? std::string(resolved) : file;
}

// Creates a unique temporary file beside target; the umask applies to a new file's permissions.
int create_temporary(const std::string& target, std::string& name) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = target + ".tmp" + std::to_string(::getpid()) + "_" + std::to_string(counter++);
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

void sync_folder_of(const std::string& file) {
    auto folder = std::filesystem::path(file).parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    Descriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0) {
        ::fsync(dir.get());
    }
}

}  // namespace

std::optional<std::string> read_file_bytes(const std::string& file) {
    Descriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        if (errno == ENOENT || errno == ENOTDIR) {
            return std::string();
        }
        return std::nullopt;
    }
    std::string bytes;
    char buffer[8192];
    for (;;) {
        const auto got = ::read(fd.get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return std::nullopt;
        }
        if (got == 0) {
            return bytes;
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
}

bool replace_file(const std::string& file, std::string_view bytes) {
    const auto target = real_target(file);
    std::string temporary;
    Descriptor fd(create_temporary(target, temporary));
    if (fd.get() < 0) {
        return false;
    }
    struct stat original {};
    if (::stat(target.c_str(), &original) == 0) {
        ::fchmod(fd.get(), original.st_mode & 07777);
    }
    const bool written = write_all(fd.get(), bytes) && ::fsync(fd.get()) == 0;
    if (!fd.close() || !written || ::rename(temporary.c_str(), target.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    sync_folder_of(target);
    return true;
}

// Text is UTF-8 already.
std::string utf8_from_text(std::string_view text) { return std::string(text); }

std::string text_from_utf8(std::string_view utf8) { return std::string(utf8); }

}  // namespace dravo::detail
