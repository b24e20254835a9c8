// Whole-file reading and atomic replacement on Windows: write a sibling temporary file, flush
// it, and move it over the original with MoveFileExA. Text is in the ANSI code page; a file with
// the UTF-8 mark is converted through UTF-16, as the system's profile functions do.
#include <windows.h>

#include <atomic>
#include <string>
#include <string_view>

#include "profile_io.h"

namespace dravo::detail {
namespace {

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle() { close(); }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }
    bool close() {
        const HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        return handle == INVALID_HANDLE_VALUE || CloseHandle(handle) != 0;
    }

private:
    HANDLE handle_;
};

bool write_all(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD piece =
            bytes.size() > 0x40000000u ? 0x40000000u : static_cast<DWORD>(bytes.size());
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), piece, &written, nullptr) || written == 0) {
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

HANDLE create_temporary(const std::string& target, std::string& name) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = target + ".tmp" + std::to_string(GetCurrentProcessId()) + "_" +
               std::to_string(counter++);
        const HANDLE file = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) {
            return file;
        }
    }
    return INVALID_HANDLE_VALUE;
}

bool is_ascii(std::string_view text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

// From one code page to another through UTF-16; characters the target lacks become its default
// character ('?').
std::string convert(std::string_view text, UINT from, UINT to) {
    if (text.empty() || is_ascii(text)) {
        return std::string(text);  // the same bytes in both
    }
    const int size = static_cast<int>(text.size());
    const int wide_size = MultiByteToWideChar(from, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(wide_size), L'\0');
    MultiByteToWideChar(from, 0, text.data(), size, wide.data(), wide_size);
    const int out_size =
        WideCharToMultiByte(to, 0, wide.data(), wide_size, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(out_size), '\0');
    WideCharToMultiByte(to, 0, wide.data(), wide_size, out.data(), out_size, nullptr, nullptr);
    return out;
}

}  // namespace

std::string utf8_from_text(std::string_view text) { return convert(text, CP_ACP, CP_UTF8); }

std::string text_from_utf8(std::string_view utf8) { return convert(utf8, CP_UTF8, CP_ACP); }

std::optional<std::string> read_file_bytes(const std::string& file) {
    // Readers share everything, so a writer's move never finds the file held.
    FileHandle handle(CreateFileA(file.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle.valid()) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
            return std::string();
        }
        return std::nullopt;
    }
    std::string bytes;
    char buffer[8192];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(handle.get(), buffer, sizeof buffer, &got, nullptr)) {
            return std::nullopt;
        }
        if (got == 0) {
            return bytes;
        }
        bytes.append(buffer, got);
    }
}

// A read-only target makes the move fail: the file stays as it was and the write reports false.
bool replace_file(const std::string& file, std::string_view bytes) {
    std::string temporary;
    FileHandle handle(create_temporary(file, temporary));
    if (!handle.valid()) {
        return false;
    }
    const bool written = write_all(handle.get(), bytes) && FlushFileBuffers(handle.get());
    if (!handle.close() || !written ||
        !MoveFileExA(temporary.c_str(), file.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileA(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace dravo::detail
