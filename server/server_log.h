#pragma once
// Append-only log of the socket failures no user sees, "gen_dravo_srv.log" beside the module.
// Each line is opened, written and closed on its own, so the file may be moved or deleted while
// the server runs. Written from the listener thread; append_line is safe from any thread.
#include <ctime>
#include <string>

namespace dravo {

inline constexpr const char* kServerLogName = "gen_dravo_srv.log";

// "" gives the long form [Mar 07 2026, 09:05:03], "[HH:MM:SS]" the short form [09:05:03]; any
// other format gives "". A time of 0 means now. Local time.
std::string time_stamp(const std::string& format, std::time_t time);

class ServerLog {
public:
    explicit ServerLog(std::string path) : path_(std::move(path)) {}
    // Appends the long time stamp followed directly by text.
    void log_error(const std::string& text) const;
    // Appends line and CR LF, creating the file when missing; a failure is silently dropped.
    static void append_line(const std::string& path, const std::string& line);
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// Local calendar time of t (platform file).
std::tm local_time(std::time_t t);

}  // namespace dravo
