#pragma once
// The client's name, version and update site, and the lines of its About text.
// Constants and a pure function: safe from any thread.
#include <string>

namespace dravo {

inline constexpr const char* kClientName = "dravo";
inline constexpr const char* kClientVersion = "v1.67";
inline constexpr const char* kAboutLines =
    "Copyright (C) the dravo authors\n"
    "Contact: dravo@users.invalid\n"
    "https://dravo.invalid/";

// Where the client's own updates are published (ends with "/"); a build option.
std::string client_update_url();

}  // namespace dravo
