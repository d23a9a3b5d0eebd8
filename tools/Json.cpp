#include "tools/Json.h"

#include <cstdio>

namespace TolvexHost {

namespace {

// The length of the UTF-8 sequence that starts at index, or 0 when invalid.
size_t Utf8SequenceLength(const std::string& bytes, size_t index) {
    const auto byte = [&](size_t at) { return static_cast<unsigned char>(bytes[at]); };
    const unsigned char lead = byte(index);
    size_t length = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 && lead < 0xE0 ? 2 : 0;
    if (length == 0 || index + length > bytes.size()) return 0;
    for (size_t i = 1; i < length; ++i)
        if ((byte(index + i) & 0xC0) != 0x80) return 0;
    return length;
}

}  // namespace

std::string JsonString(const std::string& bytes) {
    std::string json = "\"";
    for (size_t i = 0; i < bytes.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c == '"' || c == '\\') {
            json += '\\';
            json += static_cast<char>(c);
        } else if (c >= 0x20 && c < 0x80) {
            json += static_cast<char>(c);
        } else if (const size_t length = c >= 0x80 ? Utf8SequenceLength(bytes, i) : 0; length != 0) {
            json.append(bytes, i, length);
            i += length - 1;
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            json += escape;
        }
    }
    return json + "\"";
}

JsonObject& JsonObject::Add(const std::string& name, const std::string& rawJson) {
    if (text_.size() > 1) text_ += ",";
    text_ += JsonString(name) + ":" + rawJson;
    return *this;
}

}  // namespace TolvexHost
