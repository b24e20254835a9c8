// The local clock for the log's time stamps, thread-safe.
#include <ctime>

#include "server_log.h"

namespace dravo {

std::tm local_time(std::time_t t) {
    std::tm tm{};
    localtime_s(&tm, &t);
    return tm;
}

}  // namespace dravo
