#pragma once
// The whole system on one machine: the real player_host with null audio, the real plug-in (a
// private copy with its own INI) and a generated music folder, talked to over HTTP. The host runs
// in its work folder and keeps its state in the relative folder "state" there.
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "host_process.h"
#include "temp_dir.h"

namespace dravo::test {

// Tagged tones, made once per test program. Empty path when sox, lame or oggenc is missing.
struct SampleMusic {
    static const SampleMusic& get();
    std::string root;  // no trailing separator
    std::string title_of(const std::string& full_path) const;
    std::unique_ptr<TempDir> folder;
};

class SystemHost {
public:
    // extra_ini: more "key=value\r\n" lines for the plug-in's settings.
    explicit SystemHost(const std::string& media_root, const std::string& extra_ini = "");
    ~SystemHost();

    bool ready() const { return ready_; }
    int port() const { return port_; }
    std::optional<std::string> body(const std::string& target);  // the answer without its header
    std::string plugin_dir() const { return work_.file("plugins"); }
    std::string state_dir() const { return work_.file("state"); }
    std::string host_errors() const;
    HostProcess& process() { return *process_; }

private:
    // Until the port answers; false at once when the host could not bind it.
    bool listening() const;

    TempDir work_;
    int port_ = 0;
    bool ready_ = false;
    std::unique_ptr<HostProcess> process_;
};

}  // namespace dravo::test
