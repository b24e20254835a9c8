#include "playlist_index.h"

#include <algorithm>
#include <nlohmann/json.hpp>

#include "page_text.h"
#include "player_control.h"

namespace dravo {
namespace {

std::vector<std::string> words_of(std::string_view folded_search) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < folded_search.size()) {
        const std::size_t start = folded_search.find_first_not_of(" \t", i);
        if (start == std::string_view::npos) {
            break;
        }
        const std::size_t end =
            std::min(folded_search.find_first_of(" \t", start), folded_search.size());
        words.emplace_back(folded_search.substr(start, end - start));
        i = end;
    }
    return words;
}

}  // namespace

void PlaylistIndex::sync(PlayerControl& player, std::uint64_t list_revision) {
    if (read_ && list_revision == revision_) {
        return;
    }
    names_.clear();
    starts_.assign(1, 0);
    const int count = player.list_length();
    starts_.reserve(static_cast<std::size_t>(std::max(count, 0)) + 1);
    for (int i = 0; i < count; ++i) {
        names_ += page_text_to_utf8(player.file_name(i).value_or(""));
        starts_.push_back(names_.size());
    }
    folded_ = fold_case_utf8(names_);
    revision_ = list_revision;
    read_ = true;
    matches_valid_ = false;
}

std::string_view PlaylistIndex::name(std::size_t i) const {
    return std::string_view(names_).substr(starts_[i], starts_[i + 1] - starts_[i]);
}

std::string_view PlaylistIndex::folded(std::size_t i) const {
    return std::string_view(folded_).substr(starts_[i], starts_[i + 1] - starts_[i]);
}

const std::vector<std::uint32_t>& PlaylistIndex::matches(std::string_view search) {
    if (matches_valid_ && search == last_search_) {
        return last_matches_;
    }
    const std::vector<std::string> words = words_of(fold_case_utf8(search));
    last_matches_.clear();
    for (std::size_t i = 0; i < size(); ++i) {
        const std::string_view subject = folded(i);
        const bool all = std::all_of(words.begin(), words.end(), [&](const std::string& word) {
            return subject.find(word) != std::string_view::npos;
        });
        if (all) {
            last_matches_.push_back(static_cast<std::uint32_t>(i));
        }
    }
    last_search_ = std::string(search);
    matches_valid_ = true;
    return last_matches_;
}

std::string PlaylistIndex::page_json(std::size_t offset, std::size_t count,
                                     std::string_view search) {
    const std::vector<std::uint32_t>& found = matches(search);
    nlohmann::json items = nlohmann::json::array();
    const std::size_t end = std::min(found.size(), offset + std::min(count, kPageRowsMax));
    for (std::size_t k = offset; k < end; ++k) {
        items.push_back({found[k], std::string(name(found[k]))});
    }
    nlohmann::json page = {{"list_rev", revision_},
                           {"total", size()},
                           {"matches", found.size()},
                           {"offset", offset},
                           {"items", std::move(items)}};
    return page.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

}  // namespace dravo
