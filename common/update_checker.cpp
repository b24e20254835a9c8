#include "update_checker.h"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "sha256.h"

namespace dravo {
namespace {

struct PublishedVersion {
    int version = 0;
    std::optional<std::string> sha256;  // 64 lower-case hex digits
};

std::optional<std::string> digest_of_token(const std::string& token) {
    static const std::string prefix = "sha256=";
    if (token.size() != prefix.size() + 64) {
        return std::nullopt;
    }
    std::string digest;
    for (std::size_t i = 0; i < token.size(); ++i) {
        const auto c = static_cast<unsigned char>(token[i]);
        if (i < prefix.size() ? std::tolower(c) != prefix[i] : !std::isxdigit(c)) {
            return std::nullopt;
        }
        if (i >= prefix.size()) {
            digest += static_cast<char>(std::tolower(c));
        }
    }
    return digest;
}

// The leading signed number (0 when there is none), then the first "sha256=" word after it.
PublishedVersion parse_version_file(const std::string& text) {
    PublishedVersion published;
    std::istringstream in(text);
    in >> published.version;
    if (!in) {
        return published;
    }
    std::string token;
    while (in >> token && !published.sha256) {
        published.sha256 = digest_of_token(token);
    }
    return published;
}

// Writes the program and gives it run bits wherever it has read bits.
bool store_program(const std::filesystem::path& file, const std::string& bytes) {
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            return false;
        }
    }
    namespace fs = std::filesystem;
    std::error_code error;
    const auto permissions = fs::status(file, error).permissions();
    auto run_bits = fs::perms::none;
    for (auto [read, exec] : {std::pair{fs::perms::owner_read, fs::perms::owner_exec},
                              std::pair{fs::perms::group_read, fs::perms::group_exec},
                              std::pair{fs::perms::others_read, fs::perms::others_exec}}) {
        if ((permissions & read) != fs::perms::none) {
            run_bits |= exec;
        }
    }
    fs::permissions(file, run_bits, fs::perm_options::add, error);
    return !error;
}

}  // namespace

UpdateChecker::UpdateChecker(ProgramLauncher launcher, FetchLimits limits)
    : launcher_(std::move(launcher)), limits_(limits) {}

bool UpdateChecker::run(const std::string& program_name, const std::string& base_url,
                        int running_version, const std::string& arguments, std::string& message,
                        const std::string& folder) const {
    message.clear();
    const std::filesystem::path file_name = update_program_file(program_name);
    const std::filesystem::path program =
        folder.empty() ? file_name : std::filesystem::path(folder) / file_name;
    std::error_code ignored;
    std::filesystem::remove(program, ignored);

    std::stringstream version_text;
    if (!fetch_url(version_text, base_url + "version.txt", kTransferBinary, limits_) ||
        version_text.str().empty()) {
        message = kUpdateNoVersionInfo;
        return false;
    }
    const auto published = parse_version_file(version_text.str());
    if (published.version == 0) {
        message = kUpdateNoVersionInfo;
        return false;
    }
    if (running_version >= published.version) {
        message = kUpdateLatestVersion;
        return false;
    }
    message = kUpdateDownloadFailed + base_url;
    if (!published.sha256) {
        return false;  // nothing to check a download against
    }
    std::stringstream download;
    if (!fetch_url(download, base_url + file_name.string(), kTransferBinary, limits_)) {
        return false;
    }
    const std::string bytes = download.str();
    if (bytes.empty() || sha256_hex(bytes) != *published.sha256) {
        return false;
    }
    // Absolute, as the program starts after the change into folder.
    const std::string start_path =
        folder.empty() ? "./" + file_name.string() : std::filesystem::absolute(program).string();
    if (!store_program(program, bytes) || !launcher_(start_path, arguments, folder)) {
        std::filesystem::remove(program, ignored);
        return false;
    }
    message = kUpdateStarted;
    return true;
}

}  // namespace dravo
