#include <windows.h>

#include "page_text.h"

namespace dravo {
namespace {

std::wstring wide_from(UINT code_page, std::string_view text) {
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(code_page, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0) {
        MultiByteToWideChar(code_page, 0, text.data(), size, wide.data(), length);
    }
    return wide;
}

std::string narrow_to(UINT code_page, const std::wstring& wide) {
    if (wide.empty()) {
        return {};
    }
    const int size = static_cast<int>(wide.size());
    const int length =
        WideCharToMultiByte(code_page, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    if (length > 0) {
        WideCharToMultiByte(code_page, 0, wide.data(), size, text.data(), length, nullptr, nullptr);
    }
    return text;
}

}  // namespace

// The player's texts are in the ANSI code page (Windows-1252 on Western systems).
std::string page_text_to_utf8(std::string_view native) {
    return narrow_to(CP_UTF8, wide_from(CP_ACP, native));
}

// A character the code page lacks becomes its best fit or '?'.
std::string page_text_to_native(std::string_view utf8) {
    return narrow_to(CP_ACP, wide_from(CP_UTF8, utf8));
}

}  // namespace dravo
