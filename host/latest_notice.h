#pragma once
// The windowed host shows one notice at a time: plug-ins' message boxes (every unknown request
// path is one) may come in floods from the network, and a window each would bury the desktop.
// This keeps the latest text and how many notices came while it was up. Main thread only.
#include <string>

namespace dravo {

class LatestNotice {
public:
    // A new notice replaces the one shown.
    void add(const std::string& text, const std::string& caption);
    // The window was closed: the next notice starts a new count.
    void dismissed() { count_ = 0; }

    const std::string& caption() const { return caption_; }
    // The text to show: the latest notice, with the count when more than one came.
    std::string text() const;
    int count() const { return count_; }

private:
    std::string caption_;
    std::string text_;
    int count_ = 0;
};

}  // namespace dravo
