#pragma once
// MPD as the reference for "/list": started only when an "mpd" program is installed, on
// loopback at a free port with a configuration of its own in a temporary folder, with a database
// written here (no scan: the files need not exist) and its queue loaded with the same entries.
// For the benchmarks; one thread; POSIX. Failure: ready() is false and why() says why.
#include <sys/types.h>

#include <string>
#include <vector>

#include "temp_dir.h"

namespace dravo::bench {

class MpdReference {
public:
    // relative_paths: the queue's entries in order, relative to MPD's music folder.
    explicit MpdReference(const std::vector<std::string>& relative_paths);
    ~MpdReference();  // ends the daemon
    MpdReference(const MpdReference&) = delete;
    MpdReference& operator=(const MpdReference&) = delete;

    bool ready() const { return why_.empty(); }
    const std::string& why() const { return why_; }
    // "playlist" on a new connection: everything from the greeting's end to the final "OK"
    // line, or empty on a failure.
    std::string playlist() const;

private:
    bool start(std::size_t entries);
    // One command on a new connection; the answer up to its "OK" or "ACK" line.
    std::string command(const std::string& line) const;

    test::TempDir work_;
    int port_ = 0;
    pid_t pid_ = -1;
    std::string why_;
};

// A blocking connection to a loopback port; -1 when refused. Also the benchmark's own.
int connect_to(int port);

}  // namespace dravo::bench
