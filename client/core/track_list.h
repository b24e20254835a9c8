#pragma once
// The track table (the last "/list" answer, one row per line, numbered from 1) and the rows the
// list shows after the local search. It is also the list's view model: the window reads the
// shown rows from it. The answer is kept once with a lower-cased copy beside it, so a search
// keystroke only scans, it never lowers or allocates per row.
// User-interface thread only. Nothing fails; an empty answer gives an empty table.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "remote_protocol.h"

namespace dravo {

// Characters of the search text looked at.
inline constexpr std::size_t kSearchTextMax = remote::kEditTextMax;

class TrackList {
public:
    // Replaces the table with the lines of answer (empty lines are rows too) and shows them all.
    // every_hundred(count) is called whenever count rows are in, count a multiple of 100.
    void load(std::string answer, const std::function<void(std::size_t)>& every_hundred = {});
    // Shows, in table order, the rows whose text holds every word of search as a substring;
    // words and rows are compared lower-cased (lower_case). No words show every row.
    void show_matching(const std::string& search);

    std::size_t size() const { return lines_.size(); }
    std::size_t shown_count() const { return shown_.size(); }
    // Text and track number (1-based line of the answer) of a shown row.
    std::string_view shown_text(std::size_t row) const { return text(shown_[row]); }
    int shown_number(std::size_t row) const { return static_cast<int>(shown_[row]) + 1; }
    std::string_view text(std::size_t index) const;

private:
    struct Line {
        std::size_t start;
        std::size_t length;
    };
    std::string answer_;
    std::string lowered_;  // same length and line positions as answer_
    std::vector<Line> lines_;
    std::vector<std::size_t> shown_;  // indices into lines_
};

// The words of a search text, lower-cased, at most kSearchTextMax characters looked at.
std::vector<std::string> search_words(const std::string& search);

}  // namespace dravo
