#pragma once
// The on-screen display on Windows: a topmost, click-through layered window across the top of
// the primary screen's work area showing a text in green letters with a dark green rim for a few
// seconds (osd_look.h), the same contract as the Qt display. The text is drawn into a 32-bit
// picture whose alpha comes from the drawn pixels, so everything but the letters is see-through.
// Create, call and destroy on the user-interface thread, which must dispatch its messages (the
// hide timer is a window timer). init() fails (false) when the window cannot be made; show()
// then does nothing.
#include <windows.h>

#include <string>

#include "client_shell.h"

namespace dravo {

class OsdWindow final : public OnScreenDisplay {
public:
    OsdWindow() = default;
    ~OsdWindow() override;
    OsdWindow(const OsdWindow&) = delete;
    OsdWindow& operator=(const OsdWindow&) = delete;

    bool init(bool enabled, int duration_seconds, int outline_width) override;
    // Shows text (line breaks start new lines; "&" is a letter) for the whole duration from now,
    // replacing what is shown. Does nothing, not even store the text, when switched off. Always
    // true.
    bool show(const std::string& text);

    // What is on display; empty once the duration has passed.
    const std::string& text() const { return text_; }
    HWND window() const { return window_; }

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    void expire();
    void draw();
    HFONT font();

    bool enabled_ = false;
    int outline_width_ = 0;
    int duration_ms_ = 0;
    std::string text_;
    HWND window_ = nullptr;
    HFONT font_ = nullptr;  // made once, at the first text
    SIZE size_{};
};

}  // namespace dravo
