#include "track_list.h"

#include <numeric>

#include "remote_protocol.h"
#include "text.h"

namespace dravo {
namespace {

constexpr std::size_t kProgressStep = 100;

// lower_case of the whole text, faster on long lists: ASCII bytes are lowered here (A-Z only, as
// lower_case does) and each run of non-ASCII bytes goes through lower_case itself. The national
// capitals are non-ASCII sequences, so a run always holds them whole and the result is the same.
std::string lowered_copy(const std::string& text) {
    std::string lowered = text;
    for (std::size_t i = 0; i < lowered.size();) {
        const auto byte = static_cast<unsigned char>(lowered[i]);
        if (byte < 0x80) {
            if (byte >= 'A' && byte <= 'Z') {
                lowered[i] = static_cast<char>(byte - 'A' + 'a');
            }
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < lowered.size() && static_cast<unsigned char>(lowered[end]) >= 0x80) {
            ++end;
        }
        lowered.replace(i, end - i, lower_case(lowered.substr(i, end - i)));
        i = end;
    }
    return lowered;
}

}  // namespace

std::vector<std::string> search_words(const std::string& search) {
    const std::string text = lower_case(std::string(utf8_first_characters(search, kSearchTextMax)));
    std::vector<std::string> words;
    for (const auto word : split_words(text)) {
        words.emplace_back(word);
    }
    return words;
}

void TrackList::load(std::string answer, const std::function<void(std::size_t)>& every_hundred) {
    answer_ = std::move(answer);
    lowered_ = lowered_copy(answer_);  // lowering keeps every byte position
    lines_.clear();
    const auto lines = remote::answer_lines(answer_);
    lines_.reserve(lines.size());
    for (const auto line : lines) {
        lines_.push_back({static_cast<std::size_t>(line.data() - answer_.data()), line.size()});
        if (every_hundred && lines_.size() % kProgressStep == 0) {
            every_hundred(lines_.size());
        }
    }
    shown_.resize(lines_.size());
    std::iota(shown_.begin(), shown_.end(), std::size_t{0});
}

std::string_view TrackList::text(std::size_t index) const {
    return std::string_view(answer_).substr(lines_[index].start, lines_[index].length);
}

void TrackList::show_matching(const std::string& search) {
    const auto words = search_words(search);
    shown_.clear();
    const std::string_view lowered(lowered_);
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const auto row = lowered.substr(lines_[i].start, lines_[i].length);
        bool all = true;
        for (const auto& word : words) {
            if (row.find(word) == std::string_view::npos) {
                all = false;
                break;
            }
        }
        if (all) {
            shown_.push_back(i);
        }
    }
}

}  // namespace dravo
