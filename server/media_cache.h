#pragma once
// The list of media files under the media root, mirrored in gen_dravo_srv.cache beside the
// module so that a restart does not rescan the disk.
//
// Threads: the listener thread (filter requests) and the host's thread (the configuration
// dialog's refresh) both use the one cache. Every member but the path and the progress count
// needs the lock from lock(), and one lock must be held over ensure_loaded together with the
// filter pass that reads the entries after it, and over rebuild, so a refresh never overlaps a
// filter request. Callers read the settings before taking it. Never send to the host while
// holding it: the host's thread may be waiting for it in a refresh.
#include <atomic>
#include <cstddef>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace dravo {

inline constexpr const char* kCacheFileName = "gen_dravo_srv.cache";

// Many short strings kept in one buffer: a million paths cost two allocations, not a million.
// Each string is followed by an LF in the buffer; the strings themselves never hold one.
class TextList {
public:
    void clear();
    void reserve(std::size_t count, std::size_t bytes);
    void push_back(std::string_view text);
    std::size_t size() const { return ends_.size(); }
    bool empty() const { return ends_.empty(); }
    std::string_view operator[](std::size_t index) const;
    // Every string, each followed by its LF.
    const std::string& bytes() const { return bytes_; }
    // The same strings with their bytes replaced, such as by a length-keeping transformation.
    TextList with_bytes(std::string bytes) const;

private:
    std::string bytes_;
    std::vector<std::size_t> ends_;
};

// The words of an extension list (white space between them), compared byte for byte.
class ExtensionSet {
public:
    explicit ExtensionSet(std::string_view list);
    // True when the text after the name's last dot is one of the words. No dot, or a name ending
    // in a dot: false.
    bool matches(std::string_view file_name) const;

private:
    std::vector<std::string> words_;
};

using CacheLock = std::unique_lock<std::mutex>;

// What a scan looks at: the media root (empty, or ending in the separator) and the extensions.
struct MediaSource {
    std::string root;
    std::string file_extensions;
};

class MediaCache {
public:
    // folder ends in the separator; the cache file lies there.
    explicit MediaCache(std::string module_directory);
    MediaCache(const MediaCache&) = delete;
    MediaCache& operator=(const MediaCache&) = delete;

    // Takes the cache's lock; the members below check that they get it.
    [[nodiscard]] CacheLock lock();

    // Loads the cache file when the cache is empty, and scans source when that gives nothing.
    void ensure_loaded(const CacheLock& held, const MediaSource& source);
    // Empties the cache, scans source anew and rewrites the cache file.
    void rebuild(const CacheLock& held, const MediaSource& source);
    // lock() and rebuild() in one: for the configuration dialog's refresh.
    void refresh(const MediaSource& source);

    // Read access, in cache order. subject(i) is entry(i) lower-cased for the filter.
    std::size_t size(const CacheLock& held) const;
    std::string_view entry(const CacheLock& held, std::size_t index) const;
    std::string_view subject(const CacheLock& held, std::size_t index) const;

    std::string cache_file_path() const { return module_directory_ + kCacheFileName; }
    // Files found so far by the scan running now, or by the last one: for a progress display.
    // Any thread, no lock.
    std::size_t files_found() const { return files_found_.load(std::memory_order_relaxed); }

    // Appends the media files of root + relative and, depth first, of every folder below it:
    // a folder's files in enumeration order, then each subfolder's tree in turn. relative is
    // empty or ends in the separator. Folders that cannot be opened give nothing; a folder
    // reached twice (through a link) is scanned once, so the scan always ends. found, when
    // given, counts the entries appended as they are found.
    static void scan_directory(const std::string& root, const std::string& relative,
                               const ExtensionSet& extensions, std::vector<std::string>& out,
                               std::atomic<std::size_t>* found = nullptr);

private:
    void check(const CacheLock& held) const;
    void load_file();
    void write_file() const;  // the entries, CR LF ended; left empty when cut short
    void set_entries(const std::vector<std::string>& entries);
    void make_subjects();

    const std::string module_directory_;
    std::mutex mutex_;
    TextList entries_;
    TextList subjects_;
    std::atomic<std::size_t> files_found_{0};
};

}  // namespace dravo
