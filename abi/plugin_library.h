#pragma once
// Opening a shared library and finding a symbol in it; the platform file does the work.
// Any thread; one library handle is used by one thread at a time.
#include <string>

namespace dravo {

// Null on failure, with the reason in error.
void* open_library(const std::string& path, std::string& error);
void* find_symbol(void* library, const char* name);
void close_library(void* library);
// Library file names the host loads: gen_*.so here, gen_*.dll on Windows.
bool is_plugin_file_name(const std::string& file_name);
// The plugins folder beside the running program.
std::string default_plugin_folder();

}  // namespace dravo
