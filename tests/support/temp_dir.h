#pragma once
// Real folders and files for tests, removed again at the end of a test, and scoped changes of
// the process's environment and current folder. Paths use the platform's separator.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "text.h"

namespace dravo::test {

// Sets the variable, or removes it when value is null (platform file).
void set_environment(const char* name, const char* value);

class TempDir {
public:
    TempDir() {
        std::random_device random;
        const auto base = std::filesystem::temp_directory_path();
        for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
            const auto candidate = base / ("dravo_test_" + std::to_string(random()));
            std::error_code error;
            if (std::filesystem::create_directory(candidate, error)) {
                path_ = candidate.string();
            }
        }
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
    std::string slash() const { return path_ + kPathSeparator; }
    std::string file(const std::string& name) const { return slash() + name; }
    // Writes content to name (folders created) and gives the full path.
    std::string write(const std::string& name, const std::string& content) const;

private:
    std::string path_;
};

// Creates the folders on the way.
inline void write_file(const std::string& path, const std::string& bytes = {}) {
    const auto folder = std::filesystem::path(path).parent_path();
    if (!folder.empty()) {
        std::filesystem::create_directories(folder);
    }
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

// A relative path written with '/', in this platform's separators.
inline std::string native(std::string path) {
    for (char& c : path) {
        if (c == '/') {
            c = kPathSeparator;
        }
    }
    return path;
}

// The names of a folder in the order the file system gives them, "." and ".." left out.
inline std::vector<std::string> readdir_order(const std::string& dir) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(dir, error)) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}

// Sets or unsets an environment variable for one scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        set_environment(name, value);
    }
    ~ScopedEnv() { set_environment(name_.c_str(), old_ ? old_->c_str() : nullptr); }

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

}  // namespace dravo::test
