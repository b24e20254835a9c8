// The plug-in's C entry points. No exception may leave them.
#include <cstdio>

#include "config_ui.h"
#include "plugin.h"
#include "plugin_abi.h"
#include "version.h"
#include "window_host.h"

namespace {

dravo::Plugin& plugin() {
    static dravo::Plugin instance;
    return instance;
}

std::int32_t init_entry();
void config_entry();
void quit_entry();

PluginRecord record = {dravo::kPluginRecordVersion,
                       dravo::kVersionText,
                       init_entry,
                       config_entry,
                       quit_entry,
                       nullptr,
                       nullptr};

std::int32_t init_entry() {
    try {
        dravo::install_config_ui(plugin());
        return plugin().init(dravo::make_window_host(record.hwndParent));
    } catch (...) {
        std::fputs("dravo_srv: initialisation failed\n", stderr);
        return 0;
    }
}

void config_entry() {
    try {
        plugin().config();
    } catch (...) {
    }
}

void quit_entry() {
    try {
        plugin().quit();
    } catch (...) {
    }
}

}  // namespace

DRAVO_PLUGIN_EXPORT PluginRecord* winampGetGeneralPurposePlugin() { return &record; }
