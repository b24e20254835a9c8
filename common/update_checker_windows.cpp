// Starting the update program on Windows: through the shell, which returns at once.
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <string>

#include "update_checker.h"

namespace dravo {

std::string update_program_file(const std::string& program_name) {
    return program_name + "_update.exe";
}

bool start_detached(const std::string& path, const std::string& arguments,
                    const std::string& working_folder) {
    std::string program = path;
    std::replace(program.begin(), program.end(), '/', '\\');
    const auto result = reinterpret_cast<INT_PTR>(ShellExecuteA(
        nullptr, nullptr, program.c_str(), arguments.empty() ? nullptr : arguments.c_str(),
        working_folder.empty() ? nullptr : working_folder.c_str(), SW_SHOW));
    return result > 32;  // values up to 32 are the shell's error numbers
}

}  // namespace dravo
