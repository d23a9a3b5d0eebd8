// Where the answers of a scenario file stand in its text: the line and column of
// each element child of Root, found by a scan of the file's bytes of its own, so
// that the library's load pays nothing for it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace TolvexHost {

struct TextPlace {
    std::int64_t line = 0;    // from 1; lines end at LF (CR LF counts once)
    std::int64_t column = 0;  // from 1, in bytes
};

// The place of the byte at the offset of the text.
TextPlace PlaceOfOffset(const std::string& text, std::size_t offset);

class ElementPlaces {
public:
    ElementPlaces() = default;
    // Scans the XML text (an ASCII-compatible encoding). A binary image, a UTF-16
    // text or a text the scan cannot follow gives no places.
    explicit ElementPlaces(const std::string& text);
    // Reads the file; an unreadable file gives no places.
    static ElementPlaces OfFile(const std::string& fileName);

    // The place of the element child of Root at the position (from 1), if known.
    const TextPlace* Of(std::size_t position) const {
        return position >= 1 && position <= places_.size() ? &places_[position - 1] : nullptr;
    }

private:
    std::vector<TextPlace> places_;
};

// "FILE:LINE:COL: " for a known place, "FILE: " otherwise: the form editors and
// CI annotations jump to.
std::string PlacePrefix(const std::string& fileName, const TextPlace* place);

}  // namespace TolvexHost
