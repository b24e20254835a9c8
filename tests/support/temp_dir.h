#pragma once
// Real folders and files for tests, removed again at the end of a test, and scoped changes of
// the process's environment and current folder.
#include <dirent.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace dravo::test {

class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "dravo_test_XXXXXX");
        if (char* made = mkdtemp(pattern.data())) path_ = made;
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // Without a trailing separator.
    const std::string& path() const { return path_; }
    // With one.
    std::string slash() const { return path_ + "/"; }
    std::string file(const std::string& name) const { return slash() + name; }
    // Writes content to name (folders created) and gives the full path.
    std::string write(const std::string& name, const std::string& content) const;

private:
    std::string path_;
};

// Creates the folders on the way.
inline void write_file(const std::string& path, const std::string& bytes = {}) {
    const auto folder = std::filesystem::path(path).parent_path();
    if (!folder.empty()) std::filesystem::create_directories(folder);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// Empty when the file is missing.
inline std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline std::string TempDir::write(const std::string& name, const std::string& content) const {
    write_file(file(name), content);
    return file(name);
}

// The names of a folder in the order the file system gives them, "." and ".." left out.
inline std::vector<std::string> readdir_order(const std::string& dir) {
    std::vector<std::string> names;
    DIR* handle = opendir(dir.c_str());
    if (!handle) return names;
    while (const dirent* entry = readdir(handle)) {
        std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    closedir(handle);
    return names;
}

// Sets or unsets an environment variable for one scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value) setenv(name, value, 1);
        else unsetenv(name);
    }
    ~ScopedEnv() {
        if (old_) setenv(name_.c_str(), old_->c_str(), 1);
        else unsetenv(name_.c_str());
    }

private:
    std::string name_;
    std::optional<std::string> old_;
};

class ScopedCwd {
public:
    explicit ScopedCwd(const std::string& dir) : old_(std::filesystem::current_path()) {
        std::filesystem::current_path(dir);
    }
    ~ScopedCwd() { std::filesystem::current_path(old_); }

private:
    std::filesystem::path old_;
};

// Runs body in a child process, for limits and identities the test process must not keep.
// True when body returned true there.
inline bool in_child(const std::function<bool()>& body) {
    pid_t child = fork();
    if (child < 0) return false;
    if (child == 0) _exit(body() ? 0 : 1);
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace dravo::test
