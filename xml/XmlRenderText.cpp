#include "xml/XmlRenderText.h"

#include <array>
#include <cstring>

namespace TolvexXml {

namespace {

// The replacement of each byte; an empty entry means the byte is written as it is.
constexpr std::array<std::string_view, 256> MakeEscapeTable() {
    constexpr std::string_view controlReferences[32] = {
        "&#0;",  "&#1;",  "&#2;",  "&#3;",  "&#4;",  "&#5;",  "&#6;",  "&#7;",
        "&#8;",  "&#9;",  "&#10;", "&#11;", "&#12;", "&#13;", "&#14;", "&#15;",
        "&#16;", "&#17;", "&#18;", "&#19;", "&#20;", "&#21;", "&#22;", "&#23;",
        "&#24;", "&#25;", "&#26;", "&#27;", "&#28;", "&#29;", "&#30;", "&#31;"};
    std::array<std::string_view, 256> table{};
    for (int byte = 0; byte < 32; ++byte) table[byte] = controlReferences[byte];
    table['<'] = "&lt;";
    table['>'] = "&gt;";
    table['&'] = "&amp;";
    table['"'] = "&quot;";
    return table;
}

constexpr std::array<std::string_view, 256> escapeTable = MakeEscapeTable();

const std::string_view& ReplacementOf(char byte) {
    return escapeTable[static_cast<unsigned char>(byte)];
}

// Bytes the escaped form adds to the text.
std::size_t EscapeGrowth(std::string_view text) {
    std::size_t growth = 0;
    for (const char byte : text) {
        const std::string_view& replacement = ReplacementOf(byte);
        if (!replacement.empty()) growth += replacement.size() - 1;
    }
    return growth;
}

}  // namespace

std::string EscapeXmlText(std::string text) {
    const std::size_t growth = EscapeGrowth(text);
    if (growth == 0) return text;
    std::string result(text.size() + growth, '\0');
    char* out = result.data();
    for (const char byte : text) {
        const std::string_view& replacement = ReplacementOf(byte);
        if (replacement.empty()) {
            *out++ = byte;
        } else {
            std::memcpy(out, replacement.data(), replacement.size());
            out += replacement.size();
        }
    }
    return result;
}

}  // namespace TolvexXml
