#pragma once
// The page's files as built into the plug-in: a table that cmake/embed_page.cmake generates
// (page_embedded.cpp in the build tree). Constant data; any thread may read it.
#include <cstddef>

namespace dravo {

struct EmbeddedFile {
    const char* name;  // "/index.html"
    const unsigned char* plain;
    std::size_t plain_size;
    const unsigned char* gzip;
    std::size_t gzip_size;
    const char* etag;
};
extern const EmbeddedFile kEmbeddedFiles[];
extern const std::size_t kEmbeddedFileCount;

}  // namespace dravo
