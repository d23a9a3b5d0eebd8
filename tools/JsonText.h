// Text for a JSON value. The JSON writer takes only valid UTF-8, while the log,
// the dumps and the host's records hold text in a single-byte code page. Valid
// UTF-8 stays as it is; every other byte becomes the character U+0080..U+00FF
// of its own number, so no byte is lost and each one can be told from the text.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace TolvexHost {

// The length of the well-formed UTF-8 sequence at the start of bytes (no overlong
// forms, no surrogates, nothing above U+10FFFF); 0 when there is none.
inline std::size_t Utf8SequenceLength(std::string_view bytes) {
    const auto byte = [&](std::size_t index) { return static_cast<unsigned char>(bytes[index]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // the second byte's range
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (bytes.size() < length || byte(1) < low || byte(1) > high) return 0;
    for (std::size_t index = 2; index < length; ++index)
        if (byte(index) < 0x80 || byte(index) > 0xBF) return 0;
    return length;
}

inline std::string JsonText(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    while (!bytes.empty()) {
        const std::size_t length = Utf8SequenceLength(bytes);
        if (length != 0) {
            text.append(bytes.substr(0, length));
            bytes.remove_prefix(length);
            continue;
        }
        const unsigned char byte = static_cast<unsigned char>(bytes.front());
        text += static_cast<char>(0xC0 | (byte >> 6));
        text += static_cast<char>(0x80 | (byte & 0x3F));
        bytes.remove_prefix(1);
    }
    return text;
}

}  // namespace TolvexHost
