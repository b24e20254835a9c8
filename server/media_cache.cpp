#include "media_cache.h"

#include <cassert>
#include <cstdio>
#include <memory>

#include "block_file_writer.h"
#include "text.h"

namespace dravo {
namespace {

// An extension list's separators: VT and FF belong to the extensions.
constexpr std::string_view kListSpace = " \t\r\n";

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

std::string read_whole_file(const std::string& path) {
    File file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        return {};
    }
    std::string bytes;
    if (std::fseek(file.get(), 0, SEEK_END) == 0) {
        long size = std::ftell(file.get());
        if (size > 0) {
            bytes.reserve(static_cast<std::size_t>(size));
        }
        std::rewind(file.get());
    }
    char block[65536];
    std::size_t got;
    while ((got = std::fread(block, 1, sizeof block, file.get())) > 0) {
        bytes.append(block, got);
    }
    return bytes;
}

}  // namespace

void TextList::clear() {
    bytes_.clear();
    ends_.clear();
}

void TextList::reserve(std::size_t count, std::size_t bytes) {
    ends_.reserve(count);
    bytes_.reserve(bytes);
}

void TextList::push_back(std::string_view text) {
    bytes_.append(text);
    ends_.push_back(bytes_.size());
    bytes_ += '\n';
}

std::string_view TextList::operator[](std::size_t index) const {
    std::size_t begin = index == 0 ? 0 : ends_[index - 1] + 1;
    return std::string_view(bytes_).substr(begin, ends_[index] - begin);
}

TextList TextList::with_bytes(std::string bytes) const {
    TextList copy;
    copy.bytes_ = std::move(bytes);
    copy.ends_ = ends_;
    return copy;
}

ExtensionSet::ExtensionSet(std::string_view list) {
    for (const auto word : split_words(list, kListSpace)) {
        words_.emplace_back(word);
    }
}

bool ExtensionSet::matches(std::string_view file_name) const {
    auto dot = file_name.rfind('.');
    if (dot == std::string_view::npos) {
        return false;
    }
    auto extension = file_name.substr(dot + 1);
    if (extension.empty()) {
        return false;
    }
    for (const auto& word : words_) {
        if (word == extension) {
            return true;
        }
    }
    return false;
}

MediaCache::MediaCache(std::string module_directory)
    : module_directory_(std::move(module_directory)) {}

CacheLock MediaCache::lock() { return CacheLock(mutex_); }

void MediaCache::check([[maybe_unused]] const CacheLock& held) const {
    assert(held.owns_lock() && held.mutex() == &mutex_);
}

void MediaCache::ensure_loaded(const CacheLock& held, const MediaSource& source) {
    check(held);
    if (!entries_.empty()) {
        return;
    }
    load_file();
    if (entries_.empty()) {
        rebuild(held, source);
    }
}

void MediaCache::rebuild(const CacheLock& held, const MediaSource& source) {
    check(held);
    std::vector<std::string> found;
    files_found_.store(0, std::memory_order_relaxed);
    scan_directory(source.root, "", ExtensionSet(source.file_extensions), found, &files_found_);
    set_entries(found);
    write_file();
}

void MediaCache::refresh(const MediaSource& source) {
    auto held = lock();
    rebuild(held, source);
}

std::size_t MediaCache::size(const CacheLock& held) const {
    check(held);
    return entries_.size();
}

std::string_view MediaCache::entry(const CacheLock& held, std::size_t index) const {
    check(held);
    return entries_[index];
}

std::string_view MediaCache::subject(const CacheLock& held, std::size_t index) const {
    check(held);
    return subjects_[index];
}

// One pass over all entries at once: the LF between them keeps a letter from spanning two.
void MediaCache::make_subjects() {
    std::string lowered = lower_case(entries_.bytes());
    if (lowered.size() == entries_.bytes().size()) {
        subjects_ = entries_.with_bytes(std::move(lowered));
        return;
    }
    subjects_.clear();  // a lowering that changes lengths: entry by entry
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        subjects_.push_back(lower_case(std::string(entries_[i])));
    }
}

void MediaCache::set_entries(const std::vector<std::string>& entries) {
    entries_.clear();
    std::size_t bytes = 0;
    for (const auto& entry : entries) {
        bytes += entry.size() + 1;
    }
    entries_.reserve(entries.size(), bytes);
    for (const auto& entry : entries) {
        entries_.push_back(entry);
    }
    make_subjects();
}

void MediaCache::load_file() {
    const std::string bytes = read_whole_file(cache_file_path());
    const std::string_view text(bytes);
    entries_.clear();
    entries_.reserve(0, bytes.size() + 1);
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            entries_.push_back(text.substr(start));  // last line without a line end
            break;
        }
        std::size_t stop = end > start && text[end - 1] == '\r' ? end - 1 : end;
        entries_.push_back(text.substr(start, stop - start));
        start = end + 1;
    }
    make_subjects();
}

void MediaCache::write_file() const {
    // A file that cannot be written leaves the scan's result in memory for this run only.
    const std::string path = cache_file_path();
    BlockFileWriter file(path);
    if (!file.is_open()) {
        return;
    }
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        file.append(entries_[i]);
        file.append("\r\n");
    }
    // A cut-off list (disk full) would load at the next start as if complete: leave the file
    // empty instead, so that start scans again.
    if (!file.finish()) {
        BlockFileWriter(path).finish();
    }
}

}  // namespace dravo
