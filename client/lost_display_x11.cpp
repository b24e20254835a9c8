// X11: an exit hook that asks Qt's xcb connection whether the display is gone.
#include "lost_display.h"

#include <QGuiApplication>

#include <xcb/xcb.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace dravo {
namespace {

constexpr int kEndedInOrder = 0;  // the status of the end on SIGTERM
constexpr int kEndFailed = 1;

struct Watch {
    std::function<void()> end_now;
    xcb_connection_t* connection;
};

// The GUI thread is the only one that sets or reads g_watch (the hook checks its thread first).
std::atomic<std::thread::id> g_gui_thread;
Watch* g_watch = nullptr;

// An exit() that another X connection's failure caused may come before Qt's own connection has
// tried to talk to the dead server: one round trip settles it.
bool display_lost(xcb_connection_t* connection) {
    if (xcb_connection_has_error(connection) == 0) {
        std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    }
    return xcb_connection_has_error(connection) != 0;
}

extern "C" void end_if_display_lost() {
    if (std::this_thread::get_id() != g_gui_thread.load()) {
        return;
    }
    Watch* watch = g_watch;
    if (watch == nullptr || !display_lost(watch->connection)) {
        return;
    }
    g_watch = nullptr;  // once, should end_now call exit() again
    int status = kEndedInOrder;
    try {
        watch->end_now();
    } catch (...) {
        status = kEndFailed;
    }
    std::fflush(nullptr);
    std::_Exit(status);  // the static destructors are what must not run
}

xcb_connection_t* qt_connection() {
    const auto* x11 =
        qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

}  // namespace

EndOnLostDisplay::EndOnLostDisplay(std::function<void()> end_now) {
    xcb_connection_t* connection = qt_connection();
    if (connection == nullptr) {
        return;
    }
    g_gui_thread.store(std::this_thread::get_id());
    if (std::atexit(end_if_display_lost) == 0) {
        g_watch = new Watch{std::move(end_now), connection};
    }
}

EndOnLostDisplay::~EndOnLostDisplay() {
    delete g_watch;
    g_watch = nullptr;
}

}  // namespace dravo
