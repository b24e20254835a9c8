#include "page_text.h"

namespace dravo {

// File names on Linux are bytes; nearly always UTF-8, and a name that is not is most likely an
// old Windows-1252 one copied over.
std::string page_text_to_utf8(std::string_view native) {
    return is_valid_utf8(native) ? std::string(native) : utf8_from_cp1252(native);
}

std::string page_text_to_native(std::string_view utf8) { return std::string(utf8); }

}  // namespace dravo
