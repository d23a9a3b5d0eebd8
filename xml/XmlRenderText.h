// Text-level pieces of XML rendering: escaping of character data and attribute
// values, and the splitting of a CDATA text around the "]]>" it must not contain.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace TolvexXml {

// Escapes every byte 0..31 as a decimal character reference ("&#9;", "&#10;", ...)
// and '<', '>', '&', '"' as entity references; every other byte (the apostrophe and
// bytes 127..255 included) stays as it is. When nothing needs escaping the input is
// handed back without a copy; otherwise the result is allocated once at its final size.
std::string EscapeXmlText(std::string text);

// Calls visit(piece) for each CDATA section that carries `text`: the whole text when
// it holds no "]]>", otherwise the text up to and including the first ']' of the first
// "]]>", then the pieces of the rest. Read back one after the other, the sections give
// the text again. An empty text gives one empty piece.
template <class Visitor>
void ForEachCDataPiece(std::string_view text, Visitor&& visit) {
    constexpr std::string_view terminator = "]]>";
    for (;;) {
        const std::size_t found = text.find(terminator);
        if (found == std::string_view::npos) {
            visit(text);
            return;
        }
        visit(text.substr(0, found + 1));
        text.remove_prefix(found + 1);
    }
}

}  // namespace TolvexXml
