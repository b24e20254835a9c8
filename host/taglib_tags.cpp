// Tag reading through TagLib.
#include <taglib/fileref.h>
#include <taglib/tag.h>

#include "track_titles.h"

namespace dravo {

std::optional<TrackTags> read_tags(const std::string& path) {
    try {
        // No audio properties: only the tag is needed, and that is the cheap part.
        const TagLib::FileRef file(path.c_str(), false);
        if (file.isNull() || file.tag() == nullptr) {
            return std::nullopt;
        }
        const TagLib::Tag* tag = file.tag();
        return TrackTags{tag->artist().to8Bit(true), tag->title().to8Bit(true)};
    } catch (...) {
        // A damaged file must not take the host down.
        return std::nullopt;
    }
}

}  // namespace dravo
