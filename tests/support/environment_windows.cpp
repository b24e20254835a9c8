#include <cstdlib>

#include "temp_dir.h"

namespace dravo::test {

// An empty value removes the variable from the C runtime's copy and the process's block alike.
void set_environment(const char* name, const char* value) { _putenv_s(name, value ? value : ""); }

}  // namespace dravo::test
