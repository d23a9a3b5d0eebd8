#include "tools/ElementPlaces.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string_view>

namespace TolvexHost {

namespace {

constexpr std::string_view BinaryImageSignature = "< binary-xml >";

bool IsNameEnd(char c) { return c == '/' || c == '>' || static_cast<unsigned char>(c) <= ' '; }

// Follows the markup of the text far enough to find the start tags of Root's
// element children; stops (with the places found so far) where it cannot follow.
class ElementScan {
public:
    explicit ElementScan(const std::string& text) : text_(text) {}

    std::vector<std::size_t> RootChildOffsets() {
        std::vector<std::size_t> offsets;
        int depth = 0;
        bool inRoot = false;
        std::size_t next = 0;
        while ((next = text_.find('<', next)) != std::string::npos) {
            const std::size_t start = next;
            if (StartsWith(start, "<!--")) {
                next = After(start + 4, "-->");
            } else if (StartsWith(start, "<![CDATA[")) {
                next = After(start + 9, "]]>");
            } else if (StartsWith(start, "<?")) {
                next = After(start + 2, "?>");
            } else if (StartsWith(start, "<!")) {
                next = After(start + 2, ">");  // a DOCTYPE ends at its first '>', as the loader reads it
            } else if (StartsWith(start, "</")) {
                next = After(start + 2, ">");
                if (--depth == 0 && inRoot) break;
            } else {
                bool empty = false;
                next = AfterStartTag(start + 1, empty);
                if (next == std::string::npos) break;
                if (depth == 0) inRoot = IsRootName(start + 1);
                if (depth == 1 && inRoot) offsets.push_back(start);
                if (!empty) ++depth;
                else if (depth == 0 && inRoot) break;
            }
            if (next == std::string::npos) break;
        }
        return offsets;
    }

private:
    bool StartsWith(std::size_t at, std::string_view prefix) const {
        return std::string_view(text_).substr(at, prefix.size()) == prefix;
    }

    std::size_t After(std::size_t from, std::string_view end) const {
        const std::size_t at = text_.find(end, from);
        return at == std::string::npos ? at : at + end.size();
    }

    // A quoted value starting at the quote; npos when it does not end.
    std::size_t AfterQuoted(std::size_t quote) const {
        const std::size_t close = text_.find(text_[quote], quote + 1);
        return close == std::string::npos ? close : close + 1;
    }

    std::size_t AfterStartTag(std::size_t from, bool& empty) const {
        for (std::size_t at = from; at < text_.size(); ++at) {
            const char c = text_[at];
            if (c == '"' || c == '\'') {
                at = AfterQuoted(at);
                if (at == std::string::npos) return at;
                --at;
            } else if (c == '>') {
                empty = at > from && text_[at - 1] == '/';
                return at + 1;
            }
        }
        return std::string::npos;
    }

    // The library finds Root by its name, or with the first letter in the other case.
    bool IsRootName(std::size_t nameStart) const {
        std::size_t end = nameStart;
        while (end < text_.size() && !IsNameEnd(text_[end])) ++end;
        const std::string_view name = std::string_view(text_).substr(nameStart, end - nameStart);
        return name == "Root" || name == "root";
    }

    const std::string& text_;
};

}  // namespace

TextPlace PlaceOfOffset(const std::string& text, std::size_t offset) {
    const std::string_view head = std::string_view(text).substr(0, std::min(offset, text.size()));
    const std::size_t lastBreak = head.rfind('\n');
    const std::size_t lineStart = lastBreak == std::string_view::npos ? 0 : lastBreak + 1;
    return {1 + static_cast<std::int64_t>(std::count(head.begin(), head.end(), '\n')),
            static_cast<std::int64_t>(head.size() - lineStart) + 1};
}

ElementPlaces::ElementPlaces(const std::string& text) {
    const bool utf16 = text.size() >= 2 && ((text[0] == '\xFF' && text[1] == '\xFE') || (text[0] == '\xFE' && text[1] == '\xFF'));
    if (utf16 || text.compare(0, BinaryImageSignature.size(), BinaryImageSignature) == 0) return;
    // The offsets ascend: lines are counted once, from one place to the next.
    std::int64_t line = 1;
    std::size_t lineStart = 0, counted = 0;
    for (const std::size_t offset : ElementScan(text).RootChildOffsets()) {
        for (; counted < offset; ++counted)
            if (text[counted] == '\n') {
                ++line;
                lineStart = counted + 1;
            }
        places_.push_back({line, static_cast<std::int64_t>(offset - lineStart) + 1});
    }
}

ElementPlaces ElementPlaces::OfFile(const std::string& fileName) {
    std::ifstream file(fileName, std::ios::binary);
    if (!file) return ElementPlaces();
    return ElementPlaces(std::string(std::istreambuf_iterator<char>(file), {}));
}

std::string PlacePrefix(const std::string& fileName, const TextPlace* place) {
    if (!place) return fileName + ": ";
    return fileName + ":" + std::to_string(place->line) + ":" + std::to_string(place->column) + ": ";
}

}  // namespace TolvexHost
