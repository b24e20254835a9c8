// The Qt configuration dialog, shown in the host's own application when it has one.
#include <QApplication>
#include <QThread>

#include <string>

#include "config_dialog_qt.h"
#include "config_ui.h"
#include "plugin.h"
#include "toolkit_pin.h"

namespace dravo {
namespace {

// When the plug-in is loaded, before any host can unload it again.
[[maybe_unused]] const bool toolkit_pinned = keep_toolkit_loaded();

// Widgets need the host's QApplication and its thread; a headless host has neither, and a
// plug-in must not create an application of its own inside someone else's process.
std::string show_config_dialog(Plugin& plugin) {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!app || QThread::currentThread() != app->thread()) {
        return kConfigNeedsWindowText;
    }
    config_dlg_t dialog(plugin.settings(), plugin.media_cache());
    dialog.exec();
    return {};
}

}  // namespace

void install_config_ui(Plugin& plugin) { plugin.set_config_ui(show_config_dialog); }

}  // namespace dravo
