#include <cstdlib>

#include "temp_dir.h"

namespace dravo::test {

void set_environment(const char* name, const char* value) {
    if (value) {
        setenv(name, value, 1);
    } else {
        unsetenv(name);
    }
}

}  // namespace dravo::test
