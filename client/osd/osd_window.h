#pragma once
// The on-screen display: one top-level window across the top of the primary screen's work area,
// 80 px high, showing a text in large bright green letters with a dark green rim for a few
// seconds. It never takes the focus, the activation or the mouse, and everything but the letters
// is see-through: a translucent window where a compositor runs, a shape cut from the drawn pixels
// where none does.
// Create, call and destroy on the GUI thread, after the QApplication. init() fails (false) when
// there is no screen to put the window on; show() then does nothing.
#include <QImage>
#include <QTimer>

#include <memory>
#include <optional>
#include <string>

#include "client_shell.h"
#include "osd_look.h"

class QFont;
class QWidget;

namespace dravo {

class OsdWindow : public OnScreenDisplay {
public:
    OsdWindow();
    ~OsdWindow() override;
    OsdWindow(const OsdWindow&) = delete;
    OsdWindow& operator=(const OsdWindow&) = delete;

    bool init(bool enabled, int duration_seconds, int outline_width) override;
    // Shows text (line breaks start new lines) for the whole duration from now, replacing what is
    // shown. Does nothing, not even store the text, when the display is switched off. Always true.
    bool show(const std::string& text);

    // What is on display; empty once the duration has passed.
    const std::string& text() const { return text_; }
    // The window (nothing before init), for tests and screenshots.
    QWidget* window() const;
    // Milliseconds until the text goes; -1 when nothing is shown.
    int remaining_ms() const { return hide_timer_.remainingTime(); }
    // The drawn picture: letters and rim on transparent pixels.
    const QImage& picture() const { return picture_; }

private:
    void expire();
    void draw();
    const QFont& font();

    bool enabled_ = false;
    int outline_width_ = 0;
    int duration_ms_ = 0;
    std::string text_;
    QImage picture_;
    QTimer hide_timer_;
    std::unique_ptr<QFont> font_;  // made once, at the first text
    std::unique_ptr<QWidget> window_;
};

}  // namespace dravo
