#pragma once
// The playlist as the page pages and searches it: every file name read from the host once per
// list revision, kept in UTF-8 beside a case-folded copy, and the last search's matches, so a
// keystroke only scans bytes. Listener thread only. A name the host does not give is kept empty
// (indexes stay the player's).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dravo {

class PlayerControl;

inline constexpr std::size_t kPageRowsMax = 500;  // rows one request may ask for

class PlaylistIndex {
public:
    // Reads the playlist again unless list_revision is the one read last.
    void sync(PlayerControl& player, std::uint64_t list_revision);

    // JSON: total entries, matches of search (every blank-separated word held, case-folded),
    // and at most count of them from offset as [index, name] pairs.
    std::string page_json(std::size_t offset, std::size_t count, std::string_view search);

    std::size_t size() const { return starts_.empty() ? 0 : starts_.size() - 1; }

private:
    std::string_view name(std::size_t i) const;
    std::string_view folded(std::size_t i) const;
    const std::vector<std::uint32_t>& matches(std::string_view search);

    std::uint64_t revision_ = 0;
    bool read_ = false;
    std::string names_;                // UTF-8 names, one after the other
    std::string folded_;               // the same, case-folded (same lengths)
    std::vector<std::size_t> starts_;  // entry i is [starts_[i], starts_[i + 1])
    std::string last_search_;
    std::vector<std::uint32_t> last_matches_;
    bool matches_valid_ = false;
};

}  // namespace dravo
