#include "test_host.h"

#include <dlfcn.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <thread>

#include "loopback_client.h"

namespace dravo::test {
namespace {

std::intptr_t send_to_fake(void* context, std::uint32_t message, std::uintptr_t wparam,
                           std::intptr_t lparam) {
    return static_cast<FakeHost*>(context)->send(message, wparam, lparam);
}

std::int32_t post_to_fake(void* context, std::uint32_t message, std::uintptr_t wparam,
                          std::intptr_t lparam) {
    return static_cast<FakeHost*>(context)->post(message, wparam, lparam) ? 1 : 0;
}

std::int32_t box_to_fake(void* context, const char* text, const char* caption, std::uint32_t) {
    static_cast<FakeHost*>(context)->message_box(text, caption);
    return 1;
}

}  // namespace

TestHost::TestHost(const std::string& ini_text) {
    static std::atomic<int> counter{0};
    root_ = std::filesystem::temp_directory_path() /
            ("dravo_host_" + std::to_string(getpid()) + "_" + std::to_string(counter++));
    plugin_dir_ = root_ / "plugins";
    std::filesystem::create_directories(plugin_dir_);
    plugin_file_ = plugin_dir_ / "gen_dravo_srv.so";
    std::filesystem::copy_file(DRAVO_PLUGIN_PATH, plugin_file_);
    // Tests never announce themselves on the network.
    if (!ini_text.empty()) {
        std::ofstream(plugin_dir_ / "gen_dravo_srv.ini") << ini_text << "announce=off\r\n";
    }
    module_ = dlopen(plugin_file_.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module_) {
        return;
    }
    auto entry = reinterpret_cast<PluginEntryFunction>(dlsym(module_, kPluginEntryName));
    if (entry) {
        record_ = entry();
    }
    window_ = {kHostWindowMagic, sizeof(HostWindowRecord), &fake, send_to_fake, post_to_fake,
               box_to_fake};
}

int TestHost::init() {
    record_->hwndParent = &window_;
    record_->hDllInstance = module_;
    initialised_ = true;
    return record_->init();
}

int TestHost::init_on_free_port(const std::string& more_ini) {
    using namespace std::chrono_literals;
    for (int attempt = 0; attempt < 5; ++attempt) {
        const int port = free_port();
        std::ofstream(plugin_dir_ / "gen_dravo_srv.ini")
            << "[Settings]\r\nport=" << port << "\r\nannounce=off\r\n"
            << more_ini;
        fake.clear();
        init();
        // Only this plug-in's answer reaches the fake: a program that took the port answers
        // without it.
        for (auto until = std::chrono::steady_clock::now() + 10s;
             std::chrono::steady_clock::now() < until; std::this_thread::sleep_for(5ms)) {
            const auto boxes = fake.boxes();
            if (!boxes.empty() && boxes[0].first.rfind("socket.Listen() failed", 0) == 0) {
                break;
            }
            if (get(port, "/get_playing") && !fake.messages().empty()) {
                fake.clear();
                return port;
            }
        }
        quit();
    }
    return 0;
}

void TestHost::quit() {
    if (initialised_) {
        record_->quit();
    }
    initialised_ = false;
}

TestHost::~TestHost() {
    quit();
    if (module_) {
        dlclose(module_);
    }
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

}  // namespace dravo::test
