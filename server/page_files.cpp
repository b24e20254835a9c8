#include "page_files.h"

#include <cstddef>
#include <utility>
#include <vector>

#include "page_embedded.h"

namespace dravo {
namespace {

struct Alias {
    std::string_view path;
    std::string_view file;
};

// The page itself, and what browsers ask for unbidden: one icon serves them all.
constexpr Alias kAliases[] = {
    {"/", "/index.html"},
    {"/favicon.ico", "/icon.png"},
    {"/apple-touch-icon.png", "/icon.png"},
    {"/apple-touch-icon-precomposed.png", "/icon.png"},
};

std::string_view type_of(std::string_view name) {
    const auto dot = name.rfind('.');
    const std::string_view extension = dot == std::string_view::npos ? "" : name.substr(dot);
    if (extension == ".html") {
        return "text/html; charset=utf-8";
    }
    if (extension == ".js") {
        return "text/javascript; charset=utf-8";
    }
    if (extension == ".css") {
        return "text/css; charset=utf-8";
    }
    if (extension == ".svg") {
        return "image/svg+xml";
    }
    if (extension == ".png") {
        return "image/png";
    }
    if (extension == ".webmanifest") {
        return "application/manifest+json";
    }
    return "text/plain; charset=utf-8";
}

std::vector<std::pair<std::string_view, PageFile>> make_files() {
    std::vector<std::pair<std::string_view, PageFile>> files;
    for (std::size_t i = 0; i < kEmbeddedFileCount; ++i) {
        const EmbeddedFile& file = kEmbeddedFiles[i];
        files.emplace_back(file.name,
                           PageFile{type_of(file.name),
                                    {reinterpret_cast<const char*>(file.plain), file.plain_size},
                                    {reinterpret_cast<const char*>(file.gzip), file.gzip_size},
                                    file.etag});
    }
    return files;
}

}  // namespace

const PageFile* find_page_file(std::string_view path) {
    static const auto files = make_files();
    for (const Alias& alias : kAliases) {
        if (alias.path == path) {
            path = alias.file;
        }
    }
    for (const auto& [name, file] : files) {
        if (name == path) {
            return &file;
        }
    }
    return nullptr;
}

}  // namespace dravo
