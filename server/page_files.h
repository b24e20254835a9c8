#pragma once
// The browser page's files, built into the plug-in (server/page/, embedded and gzip-compressed
// at build time by cmake/embed_page.cmake), and the paths browsers ask for on their own.
// Immutable data: any thread.
#include <string_view>

namespace dravo {

struct PageFile {
    std::string_view content_type;
    std::string_view plain;
    std::string_view gzip;
    std::string_view etag;  // quoted, from the file's digest
};

// The file served at path ("/", "/app.js", "/favicon.ico", ...), or null.
const PageFile* find_page_file(std::string_view path);

}  // namespace dravo
