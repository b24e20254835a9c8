#include "server_log.h"

#include <cstdio>

#include "text.h"

namespace dravo {
namespace {

constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

std::string clock_text(const std::tm& tm) {
    return two_digits(tm.tm_hour) + ":" + two_digits(tm.tm_min) + ":" + two_digits(tm.tm_sec);
}

}  // namespace

std::string time_stamp(const std::string& format, std::time_t time) {
    if (!format.empty() && format != "[HH:MM:SS]") {
        return {};
    }
    std::tm tm = local_time(time == 0 ? std::time(nullptr) : time);
    if (!format.empty()) {
        return "[" + clock_text(tm) + "]";
    }
    return std::string("[") + kMonths[tm.tm_mon % 12] + " " + two_digits(tm.tm_mday) + " " +
           to_text(static_cast<std::int32_t>(tm.tm_year + 1900)) + ", " + clock_text(tm) + "]";
}

void ServerLog::log_error(const std::string& text) const {
    append_line(path_, time_stamp("", 0) + text);
}

void ServerLog::append_line(const std::string& path, const std::string& line) {
    // Binary mode with an explicit CR LF gives the same bytes on every platform.
    std::FILE* file = std::fopen(path.c_str(), "ab");
    if (!file) {
        return;
    }
    std::string out = line + "\r\n";
    std::fwrite(out.data(), 1, out.size(), file);
    std::fclose(file);
}

}  // namespace dravo
