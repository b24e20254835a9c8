#pragma once
// A minimal host for tests: loads a private copy of the built plug-in from a fresh folder with
// dlopen, hands it a host window whose messages a FakeHost answers and records, and drives its
// entries. The copy makes every test's module folder (INI, log, cache) its own.
#include <filesystem>
#include <string>

#include "fake_host.h"
#include "host_window_record.h"
#include "plugin_abi.h"

namespace dravo::test {

class TestHost {
public:
    // ini_text, when not empty, is written as gen_dravo_srv.ini beside the copy.
    explicit TestHost(const std::string& ini_text = "");
    ~TestHost();
    TestHost(const TestHost&) = delete;
    TestHost& operator=(const TestHost&) = delete;

    bool loaded() const { return record_ != nullptr; }
    PluginRecord* record() const { return record_; }
    int init();
    // Writes gen_dravo_srv.ini with a port that was free a moment ago (then more_ini), runs init
    // and waits until this plug-in answers there. Another program may take the port first: then
    // quit and another port, as the server and host-process fixtures do. The port, or 0.
    int init_on_free_port(const std::string& more_ini = "");
    void quit();
    const std::filesystem::path& plugin_dir() const { return plugin_dir_; }
    const std::filesystem::path& plugin_file() const { return plugin_file_; }

    FakeHost fake;

private:
    std::filesystem::path root_;
    std::filesystem::path plugin_dir_;
    std::filesystem::path plugin_file_;
    void* module_ = nullptr;
    PluginRecord* record_ = nullptr;
    HostWindowRecord window_{};
    bool initialised_ = false;
};

}  // namespace dravo::test
