// The driver's means: starting the client, finding its windows, clicks, keys, checks, the
// settings file, the server's status and screenshots.
#include "client_driver_steps.h"

#include <cstdio>
#include <sstream>

#include "recording_proxy.h"

namespace dravo::test {
namespace {

struct Search {
    DWORD process;
    int id;
    HWND found;
};

BOOL CALLBACK look_at(HWND window, LPARAM data) {
    auto& search = *reinterpret_cast<Search*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char name[32] = {};
    GetClassNameA(window, name, sizeof(name));
    if (owner == search.process && std::string(name) == "#32770" && GetDlgItem(window, search.id)) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

bool wait_until(const std::function<bool()>& done, DWORD timeout_ms) {
    const ULONGLONG start = GetTickCount64();
    while (!done()) {
        if (GetTickCount64() - start >= timeout_ms) {
            return false;
        }
        Sleep(20);
    }
    return true;
}

HWND find_dialog(DWORD process, int id, DWORD timeout_ms) {
    Search search{process, id, nullptr};
    wait_until(
        [&] {
            EnumWindows(look_at, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        },
        timeout_ms);
    return search.found;
}

Driver::~Driver() {
    if (process_.hProcess) {
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process_.hProcess, 3);
        }
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
    }
}

bool Driver::start(const std::string& command_line) {
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    std::string line = command_line;
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process_)) {
        check(false, "the client starts", "CreateProcess failed");
        return false;
    }
    dialog_ = find_dialog(process_.dwProcessId, 1021, 30000);
    check(dialog_ != nullptr, "the main dialog (102) exists, found by its Update button 1021");
    // The start-up ends with the server's filter; the window then waits for input.
    wait_until(
        [this] { return !proxy_.targets().empty() && proxy_.targets().back() == "/get_filter"; },
        30000);
    return dialog_ != nullptr;
}

std::string joined(const std::vector<std::string>& items) {
    std::string all;
    for (const auto& item : items) {
        all += (all.empty() ? "" : " ") + item;
    }
    return all;
}

void Driver::check(bool good, const std::string& what, const std::string& detail) {
    const bool say_detail = !good && !detail.empty();
    std::printf("%s: %s%s%s\n", good ? "ok" : "FAIL", what.c_str(), say_detail ? ": " : "",
                say_detail ? detail.c_str() : "");
    std::fflush(stdout);
    failures_ += good ? 0 : 1;
}

std::vector<std::string> Driver::click(int id) {
    const auto mark = proxy_.count();
    SendMessageA(dialog_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(control(id)));
    return proxy_.targets(mark);
}

void Driver::expect_requests(const std::string& what, std::vector<std::string> expected,
                             std::size_t from) {
    const auto got = proxy_.targets(from);
    check(got == expected, what + " sends " + joined(expected), "got " + joined(got));
}

std::string Driver::text_of(HWND window) const {
    char text[512] = {};
    SendMessageA(window, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text));
    return text;
}

std::string Driver::setting(const std::string& key) const {
    char value[512] = {};
    GetPrivateProfileStringA("Settings", key.c_str(), "<missing>", value, sizeof(value),
                             ini_.c_str());
    return value;
}

std::string Driver::status_line(const std::string& key) const {
    std::istringstream lines(http_get(server_port_, "/status"));
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(key + ": ", 0) == 0) {
            return line.substr(key.size() + 2);
        }
    }
    return {};
}

void Driver::screenshot(const std::string& name) {
    const std::string request = work_ + "\\shot-" + name + ".req";
    const std::string done = work_ + "\\shot-" + name + ".done";
    CloseHandle(CreateFileA(request.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    wait_until([&] { return GetFileAttributesA(done.c_str()) != INVALID_FILE_ATTRIBUTES; }, 10000);
}

// A key as the keyboard gives it, down and up, through the client's queue: its accelerators see
// it, and its loop makes the character a letter key types.
void Driver::post_key(HWND window, WPARAM key) {
    PostMessageA(window, WM_KEYDOWN, key, 1);
    Sleep(100);  // the character it makes is queued behind it, before the release
    PostMessageA(window, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001));
}

}  // namespace dravo::test
