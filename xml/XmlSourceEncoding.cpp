#include "xml/XmlSourceEncoding.h"

#include <cstddef>

#include "xml/XmlExceptions.h"

namespace TolvexXml {

namespace {

bool SameAsciiLetters(const std::string& text, const char* name) {
    std::size_t i = 0;
    for (; i < text.size() && name[i] != '\0'; ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
        char n = name[i];
        if (n >= 'A' && n <= 'Z') n = static_cast<char>(n + 32);
        if (c != n) return false;
    }
    return i == text.size() && name[i] == '\0';
}

bool IsContinuationByte(unsigned char byte) { return byte >= 0x80 && byte <= 0xBF; }

// The length of the sequence that the lead byte starts.
std::size_t SequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    return (lead & 0x20) == 0 ? 2 : 3;
}

}  // namespace

std::uint16_t StandardEncodingToCodePage(const std::string& encoding) {
    struct Known {
        const char* name;
        std::uint16_t codePage;
    };
    static constexpr Known known[] = {
        {"UTF-8", 65001}, {"Windows-1251", 1251}, {"IBM866", 866}, {"CP866", 866}};
    for (const Known& entry : known)
        if (SameAsciiLetters(encoding, entry.name)) return entry.codePage;
    return 0;
}

TEncodingToCodePage EncodingToCodePage = StandardEncodingToCodePage;
bool DecodeUtf8OnLoad = false;

std::size_t Utf8CharacterCount(std::string_view value) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(value.data());
    const std::size_t size = value.size();
    std::size_t characters = 0;
    for (std::size_t i = 0; i < size; ++characters) {
        const std::size_t length = SequenceLength(bytes[i]);
        if (size - i < length) throw TolvexXmlException("Bad UTF8 format");
        for (std::size_t k = 1; k < length; ++k)
            if (!IsContinuationByte(bytes[i + k])) throw TolvexXmlException("Bad UTF8 format");
        i += length;
    }
    return characters;
}

Platform::Variant DecodeUtf8Value(std::string value) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(value.data());
    const std::size_t size = value.size();
    const std::size_t characters = Utf8CharacterCount(value);
    if (characters == size) return Platform::Variant::FromString(std::move(value));

    std::u16string wide;
    wide.reserve(characters);
    for (std::size_t i = 0; i < size;) {
        const unsigned char lead = bytes[i];
        switch (SequenceLength(lead)) {
            case 1:
                wide.push_back(lead);
                i += 1;
                break;
            case 2:
                wide.push_back(static_cast<char16_t>(((lead & 0x1F) << 6) | (bytes[i + 1] & 0x3F)));
                i += 2;
                break;
            default:
                wide.push_back(static_cast<char16_t>(((lead & 0x0F) << 12) |
                                                     ((bytes[i + 1] & 0x3F) << 6) |
                                                     (bytes[i + 2] & 0x3F)));
                i += 3;
                break;
        }
    }
    return Platform::Variant::FromWide(std::move(wide));
}

}  // namespace TolvexXml
