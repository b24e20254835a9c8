// Media keys on X11: passive grabs on the root window, made and read on a display connection and
// thread of the grabber's own, so the client's toolkit connection never sees them. The grabs
// follow the keyboard mapping: a changed mapping (a layout switch, xmodmap) may move a media key
// to another key code or Num Lock to another modifier, so every change grabs again. A lost
// display (the X server ending at logout) ends the thread quietly; it never ends the process.
#include <X11/XF86keysym.h>
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <future>
#include <map>
#include <thread>
#include <vector>

#include "dravo_shellhook.h"
#include "key_grabber.h"
#include "media_key_value.h"

namespace dravo::shellhook {
namespace {

struct KeyCommand {
    KeySym keysym;
    std::uint32_t command;
};

constexpr KeyCommand kKeys[] = {
    {XF86XK_AudioNext, DRAVO_APPCOMMAND_MEDIA_NEXTTRACK},
    {XF86XK_AudioPrev, DRAVO_APPCOMMAND_MEDIA_PREVIOUSTRACK},
    {XF86XK_AudioPlay, DRAVO_APPCOMMAND_MEDIA_PLAY_PAUSE},
    {XF86XK_AudioPause, DRAVO_APPCOMMAND_MEDIA_PAUSE},
    {XF86XK_AudioStop, DRAVO_APPCOMMAND_MEDIA_STOP},
    {XF86XK_AudioLowerVolume, DRAVO_APPCOMMAND_VOLUME_DOWN},
    {XF86XK_AudioRaiseVolume, DRAVO_APPCOMMAND_VOLUME_UP},
    {XF86XK_AudioMute, DRAVO_APPCOMMAND_VOLUME_MUTE},
    {XF86XK_Mail, DRAVO_APPCOMMAND_LAUNCH_MAIL},
    {XF86XK_Calculator, DRAVO_APPCOMMAND_LAUNCH_APP2},
};

// The modifier sets the client's bindings name; Alt with a media key stays with other programs.
constexpr unsigned kModifierSets[] = {0, ShiftMask, ControlMask, ShiftMask | ControlMask};

// Xlib has one error handler per process. Ours counts the errors of the grabber's connection (a
// BadAccess for a key someone else holds) and hands every other connection's to the handler it
// replaced, so an error neither ends the program nor goes missing for the toolkit.
std::atomic<Display*> g_display{nullptr};
std::atomic<int> g_errors{0};
XErrorHandler g_previous = nullptr;

int on_x_error(Display* display, XErrorEvent* error) {
    if (display == g_display.load()) {
        g_errors.fetch_add(1);
        return 0;
    }
    return g_previous ? g_previous(display, error) : 0;
}

// The same for a broken connection: Xlib calls the process's I/O error handler and then the
// connection's exit handler, and by default both end the process with exit(1), which would run
// the program's static destructors on this thread while its other threads still use them. For
// the grabber's connection the first returns at once and the second (set per connection) marks
// the connection lost; Xlib then returns from the call that found the break, and every later
// call on the connection does nothing.
XIOErrorHandler g_previous_io = nullptr;

int on_x_io_error(Display* display) {
    if (display == g_display.load()) {
        return 0;
    }
    return g_previous_io ? g_previous_io(display) : 0;
}

void on_lost_display(Display*, void* lost) { static_cast<std::atomic<bool>*>(lost)->store(true); }

unsigned num_lock_mask(Display* display) {
    const KeyCode num_lock = XKeysymToKeycode(display, XK_Num_Lock);
    XModifierKeymap* map = XGetModifierMapping(display);
    unsigned mask = 0;
    if (map == nullptr) {
        return mask;
    }
    for (int modifier = 0; modifier < 8 && num_lock != 0; ++modifier) {
        for (int i = 0; i < map->max_keypermod; ++i) {
            if (map->modifiermap[modifier * map->max_keypermod + i] == num_lock) {
                mask = 1u << modifier;
            }
        }
    }
    XFreeModifiermap(map);
    return mask;
}

// Each key code whose own (unshifted) symbol is a media key; a symbol may sit on several codes.
std::map<KeyCode, std::uint32_t> media_key_codes(Display* display) {
    int min_code = 0;
    int max_code = 0;
    XDisplayKeycodes(display, &min_code, &max_code);
    int per_code = 0;
    KeySym* symbols = XGetKeyboardMapping(display, static_cast<KeyCode>(min_code),
                                          max_code - min_code + 1, &per_code);
    std::map<KeyCode, std::uint32_t> codes;
    if (symbols == nullptr) {
        return codes;
    }
    for (int code = min_code; code <= max_code && per_code > 0; ++code) {
        const KeySym own = symbols[(code - min_code) * per_code];
        for (const auto& key : kKeys) {
            if (key.keysym == own) {
                codes[static_cast<KeyCode>(code)] = key.command;
            }
        }
    }
    XFree(symbols);
    return codes;
}

// Each modifier set of the bindings with Caps Lock and Num Lock on and off, once each.
std::vector<unsigned> grab_masks(unsigned num_lock) {
    std::vector<unsigned> masks;
    for (const unsigned set : kModifierSets) {
        for (const unsigned locks : {0u, unsigned(LockMask), num_lock, LockMask | num_lock}) {
            if (std::find(masks.begin(), masks.end(), set | locks) == masks.end()) {
                masks.push_back(set | locks);
            }
        }
    }
    return masks;
}

// A change of the key symbols or of the modifier map; a pointer mapping changes no grab.
bool changes_grabs(const XMappingEvent& event) {
    return event.request == MappingKeyboard || event.request == MappingModifier;
}

class X11KeyGrabber final : public KeyGrabber {
public:
    explicit X11KeyGrabber(Deliver deliver) : deliver_(std::move(deliver)) {}
    ~X11KeyGrabber() override;

    bool start(GrabReport& report);

private:
    void run(std::promise<GrabReport> ready);
    bool open();
    void grab_all(GrabReport& report);
    bool grab_key(KeyCode code);
    void release_all();
    void grab_again();
    void read_events();
    void deliver(const XKeyEvent& event);
    void close();

    Deliver deliver_;
    Display* display_ = nullptr;
    Window root_ = 0;
    unsigned num_lock_ = 0;
    std::vector<unsigned> masks_;
    std::map<KeyCode, std::uint32_t> grabbed_;
    int wake_[2] = {-1, -1};
    std::atomic<bool> stop_{false};
    std::atomic<bool> lost_{false};  // the connection broke (set by Xlib's exit handler)
    std::thread thread_;
};

X11KeyGrabber::~X11KeyGrabber() {
    stop_.store(true);
    if (wake_[1] >= 0) {
        [[maybe_unused]] const auto written = ::write(wake_[1], "x", 1);
    }
    if (thread_.joinable()) {
        thread_.join();
    }
    for (const int fd : wake_) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
}

bool X11KeyGrabber::start(GrabReport& report) {
    if (::pipe2(wake_, O_CLOEXEC) != 0) {
        return false;
    }
    std::promise<GrabReport> ready;
    auto answer = ready.get_future();
    thread_ = std::thread(&X11KeyGrabber::run, this, std::move(ready));
    report = answer.get();
    return report.grabbed > 0;
}

void X11KeyGrabber::run(std::promise<GrabReport> ready) {
    GrabReport report;
    if (open()) {
        grab_all(report);
    }
    ready.set_value(report);
    if (report.grabbed > 0) {
        read_events();
    }
    close();
}

bool X11KeyGrabber::open() {
    XInitThreads();  // the toolkit uses Xlib on another thread
    display_ = XOpenDisplay(nullptr);
    if (display_ == nullptr) {
        return false;
    }
    g_errors.store(0);
    g_display.store(display_);
    g_previous = XSetErrorHandler(on_x_error);
    g_previous_io = XSetIOErrorHandler(on_x_io_error);
    XSetIOErrorExitHandler(display_, on_lost_display, &lost_);
    root_ = DefaultRootWindow(display_);
    XkbSetDetectableAutoRepeat(display_, True, nullptr);
    num_lock_ = num_lock_mask(display_);
    masks_ = grab_masks(num_lock_);
    return true;
}

void X11KeyGrabber::grab_all(GrabReport& report) {
    for (const auto& [code, command] : media_key_codes(display_)) {
        if (grab_key(code)) {
            grabbed_[code] = command;
            ++report.grabbed;
        } else {
            ++report.held;
        }
    }
}

// All modifier sets of one key or none: a key we only half own would act on some presses only.
bool X11KeyGrabber::grab_key(KeyCode code) {
    const int errors_before = g_errors.load();
    for (const unsigned mask : masks_) {
        XGrabKey(display_, code, mask, root_, False, GrabModeAsync, GrabModeAsync);
    }
    XSync(display_, False);
    if (g_errors.load() == errors_before) {
        return true;
    }
    for (const unsigned mask : masks_) {
        XUngrabKey(display_, code, mask, root_);  // leaves the other program's grabs alone
    }
    XSync(display_, False);
    return false;
}

void X11KeyGrabber::release_all() {
    for (const auto& [code, command] : grabbed_) {
        for (const unsigned mask : masks_) {
            XUngrabKey(display_, code, mask, root_);
        }
    }
    grabbed_.clear();
}

// After a mapping change: the key codes and the Num Lock mask are read afresh and every grab is
// made again, so a key that moved is caught at its new code and its old code is left free. A key
// someone else holds now is skipped, one they let go of is taken, as at the start.
void X11KeyGrabber::grab_again() {
    release_all();
    XSync(display_, False);
    num_lock_ = num_lock_mask(display_);
    masks_ = grab_masks(num_lock_);
    GrabReport report;
    grab_all(report);
}

void X11KeyGrabber::read_events() {
    pollfd watched[2] = {{ConnectionNumber(display_), POLLIN, 0}, {wake_[0], POLLIN, 0}};
    while (!stop_.load()) {
        bool mapping_changed = false;
        while (!lost_.load() && XPending(display_) > 0) {
            XEvent event;
            XNextEvent(display_, &event);
            if (event.type == KeyPress) {
                deliver(event.xkey);
            } else if (event.type == MappingNotify) {
                XRefreshKeyboardMapping(&event.xmapping);  // Xlib's own copy of the key map
                mapping_changed = mapping_changed || changes_grabs(event.xmapping);
            }
        }
        if (lost_.load()) {
            return;  // the display went away: no more keys, the client carries on
        }
        if (mapping_changed) {
            grab_again();  // once for a burst of changes (xmodmap sends one per line)
            continue;      // grabbing may have read more events
        }
        if (::poll(watched, 2, -1) < 0 && errno != EINTR) {
            return;
        }
        if ((watched[0].revents & (POLLHUP | POLLERR)) != 0) {
            return;  // the display went away: no more keys, the client carries on
        }
    }
}

void X11KeyGrabber::deliver(const XKeyEvent& event) {
    const auto found = grabbed_.find(static_cast<KeyCode>(event.keycode));
    if (found == grabbed_.end()) {
        return;
    }
    const unsigned state = event.state & ~(LockMask | num_lock_);
    deliver_(media_key_lparam(static_cast<int>(found->second), {.shift = (state & ShiftMask) != 0,
                                                                .ctrl = (state & ControlMask) != 0,
                                                                .alt = (state & Mod1Mask) != 0}));
}

void X11KeyGrabber::close() {
    if (display_ == nullptr) {
        return;
    }
    release_all();
    XSync(display_, False);  // does nothing on a lost connection
    XCloseDisplay(display_);
    // Only now: the calls above may still find the connection broken.
    g_display.store(nullptr);
    display_ = nullptr;
    if (XErrorHandler current = XSetErrorHandler(g_previous); current != on_x_error) {
        XSetErrorHandler(current);  // someone replaced ours meanwhile: keep theirs
    }
    if (XIOErrorHandler current = XSetIOErrorHandler(g_previous_io); current != on_x_io_error) {
        XSetIOErrorHandler(current);
    }
}

}  // namespace

std::unique_ptr<KeyGrabber> start_key_grabber(KeyGrabber::Deliver deliver, GrabReport& report) {
    report = {};
    auto grabber = std::make_unique<X11KeyGrabber>(std::move(deliver));
    if (!grabber->start(report)) {
        return nullptr;
    }
    return grabber;
}

}  // namespace dravo::shellhook
