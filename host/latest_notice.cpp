#include "latest_notice.h"

namespace dravo {

void LatestNotice::add(const std::string& text, const std::string& caption) {
    text_ = text;
    caption_ = caption;
    ++count_;
}

std::string LatestNotice::text() const {
    if (count_ <= 1) {
        return text_;
    }
    return text_ + "\n\n(" + std::to_string(count_) +
           " notices since this window opened; the latest is shown)";
}

}  // namespace dravo
