// Test helper: another program that holds one media key. Usage: grab_one_key <keysym name>
// Grabs the key with any modifiers on the root window and prints "grabbed" (or "refused" when
// someone holds it already), then "pressed" for each press it gets, until its input closes.
#include <X11/Xlib.h>
#include <poll.h>
#include <unistd.h>

#include <cstdio>

namespace {

bool g_refused = false;

int note_error(Display*, XErrorEvent*) {
    g_refused = true;
    return 0;
}

void say(const char* line) {
    std::printf("%s\n", line);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    Display* display = argc > 1 ? XOpenDisplay(nullptr) : nullptr;
    if (display == nullptr) {
        say("no display");
        return 2;
    }
    XSetErrorHandler(note_error);
    const KeyCode code = XKeysymToKeycode(display, XStringToKeysym(argv[1]));
    XGrabKey(display, code, AnyModifier, DefaultRootWindow(display), False, GrabModeAsync,
             GrabModeAsync);
    XSync(display, False);
    say(g_refused || code == 0 ? "refused" : "grabbed");
    pollfd watched[2] = {{ConnectionNumber(display), POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
    for (;;) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == KeyPress) {
                say("pressed");
            }
        }
        if (::poll(watched, 2, -1) < 0 || watched[1].revents != 0) {
            break;  // input closed (or anything readable): done
        }
    }
    XCloseDisplay(display);
    return 0;
}
