#include "osd_window_windows.h"

#include <algorithm>
#include <cstdint>

#include "osd_look.h"
#include "timer_period.h"

namespace dravo {
namespace {

constexpr const char* kClassName = "grumlib_osd";
constexpr UINT_PTR kHideTimer = 1;

COLORREF colour_of(OsdColour colour) { return RGB(colour.red, colour.green, colour.blue); }

bool register_class() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA window_class{};
        window_class.lpfnWndProc = DefWindowProcA;
        window_class.hInstance = GetModuleHandleA(nullptr);
        window_class.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        window_class.lpszClassName = kClassName;
        registered = RegisterClassA(&window_class) != 0;
    }
    return registered;
}

// GDI draws opaque colours on black and leaves alpha alone. The letters and the rim are pure
// green of two strengths, so a pixel's green says how much of it is paint: its alpha, which
// makes the pixel premultiplied as the layered window wants it. Pixels up to the rim's strength
// are its antialiased edge; stronger ones lie inside the rim and are opaque.
void make_alpha(std::uint32_t* pixels, std::size_t count, int faintest_paint) {
    for (std::size_t i = 0; i < count; ++i) {
        const int green = static_cast<int>((pixels[i] >> 8) & 0xFF);
        const int alpha = std::min(255, green * 255 / faintest_paint);
        pixels[i] = (pixels[i] & 0x00FFFFFF) | (static_cast<std::uint32_t>(alpha) << 24);
    }
}

// The text at every offset of a square of half-width w in the rim's colour, then once in the
// letters' colour. Prefixes off: "&" is shown as itself; text beyond the band is cut.
void draw_text(HDC dc, const std::string& text, RECT area, int w) {
    constexpr UINT kFormat = DT_NOPREFIX;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colour_of(kOsdRim));
    for (int dy = -w; dy <= w; ++dy) {
        for (int dx = -w; dx <= w; ++dx) {
            RECT moved{area.left + dx, area.top + dy, area.right, area.bottom};
            DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &moved, kFormat);
        }
    }
    SetTextColor(dc, colour_of(kOsdLetters));
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &area, kFormat);
}

}  // namespace

OsdWindow::~OsdWindow() {
    if (window_) {
        DestroyWindow(window_);
    }
    if (font_) {
        DeleteObject(font_);
    }
}

bool OsdWindow::init(bool enabled, int duration_seconds, int outline_width) {
    enabled_ = enabled;
    duration_ms_ = timer_period_ms(duration_seconds);
    outline_width_ = std::max(0, outline_width);
    if (window_ || !register_class()) {
        return window_ != nullptr;
    }
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    size_ = {work.right - work.left, kOsdHeight};
    window_ = CreateWindowExA(
        WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT | WS_EX_LAYERED | WS_EX_NOACTIVATE,
        kClassName, "osd", WS_POPUP, work.left, work.top, size_.cx, size_.cy, nullptr, nullptr,
        GetModuleHandleA(nullptr), nullptr);
    if (!window_) {
        return false;
    }
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&OsdWindow::procedure));
    text_.clear();
    return true;
}

bool OsdWindow::show(const std::string& text) {
    if (!enabled_ || !window_) {
        return true;
    }
    text_ = text;
    SetTimer(window_, kHideTimer, static_cast<UINT>(duration_ms_), nullptr);
    draw();
    SetWindowPos(window_, HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    return true;
}

void OsdWindow::expire() {
    KillTimer(window_, kHideTimer);
    text_.clear();
    ShowWindow(window_, SW_HIDE);
}

LRESULT CALLBACK OsdWindow::procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* self = reinterpret_cast<OsdWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self && message == WM_TIMER && wparam == kHideTimer) {
        self->expire();
        return 0;
    }
    if (message == WM_NCHITTEST) {
        return HTTRANSPARENT;  // clicks go to the window beneath
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

HFONT OsdWindow::font() {
    if (!font_) {
        // A positive height asks for the character cell, not the letters' height.
        font_ = CreateFontA(kOsdFontCell, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET,
                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                            DEFAULT_PITCH | FF_DONTCARE, kOsdFontFace);
    }
    return font_;
}

void OsdWindow::draw() {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = size_.cx;
    info.bmiHeader.biHeight = -size_.cy;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP picture = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (picture && bits) {
        HGDIOBJ old_picture = SelectObject(dc, picture);
        HGDIOBJ old_font = SelectObject(dc, font());
        RECT area{kOsdMargin, kOsdMargin, size_.cx, size_.cy};
        draw_text(dc, text_, area, outline_width_);
        GdiFlush();
        make_alpha(static_cast<std::uint32_t*>(bits),
                   static_cast<std::size_t>(size_.cx) * static_cast<std::size_t>(size_.cy),
                   outline_width_ > 0 ? kOsdRim.green : kOsdLetters.green);
        POINT origin{};
        BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        UpdateLayeredWindow(window_, screen, nullptr, &size_, dc, &origin, 0, &blend, ULW_ALPHA);
        SelectObject(dc, old_font);
        SelectObject(dc, old_picture);
        DeleteObject(picture);
    }
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
}

}  // namespace dravo
