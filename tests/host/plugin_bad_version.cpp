// gen_test_bad_version: a record of another version; the host must not call its init.
#include <cstdlib>

#include "plugin_abi.h"

namespace {

std::int32_t bad_init() { std::abort(); }

PluginRecord g_record{15, "Old plug-in", &bad_init, nullptr, nullptr, nullptr, nullptr};

}  // namespace

DRAVO_PLUGIN_EXPORT PluginRecord* winampGetGeneralPurposePlugin() { return &g_record; }
