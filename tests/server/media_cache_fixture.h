#pragma once
// A media folder, a module folder for the cache file, and the entries of a cache.
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "media_cache.h"
#include "temp_dir.h"
#include "text.h"

namespace dravo::test {

namespace fs = std::filesystem;

class MediaCacheTest : public ::testing::Test {
protected:
    std::vector<std::string> entries(MediaCache& cache) {
        auto held = cache.lock();
        std::vector<std::string> out;
        for (std::size_t i = 0; i < cache.size(held); ++i) {
            out.emplace_back(cache.entry(held, i));
        }
        return out;
    }

    std::vector<std::string> rebuilt() {
        MediaCache cache(module.slash());
        cache.refresh(source);
        return entries(cache);
    }

    std::string cache_file() const { return module.slash() + kCacheFileName; }

    TempDir root;
    TempDir module;
    MediaSource source{root.slash(), "mp3 ogg wav url"};
};

}  // namespace dravo::test
