#include "xml/Base64.h"

#include <array>

#include "xml/XmlExceptions.h"

namespace TolvexXml {

namespace {

constexpr char Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr std::array<signed char, 256> MakeDecodeTable() {
    std::array<signed char, 256> table{};
    table.fill(-1);
    for (int i = 0; i < 64; ++i) table[static_cast<unsigned char>(Alphabet[i])] = static_cast<signed char>(i);
    return table;
}

constexpr std::array<signed char, 256> DecodeTable = MakeDecodeTable();

[[noreturn]] void RaiseBadFormat() { throw TolvexXmlException("Bad Base64 format"); }

unsigned DecodeChar(char c) {
    const int value = DecodeTable[static_cast<unsigned char>(c)];
    if (value < 0) RaiseBadFormat();
    return static_cast<unsigned>(value);
}

}  // namespace

std::string EncodeBase64(const void* bytes, std::size_t count, int maxLineLength) {
    const std::size_t lineLength = maxLineLength < 4 ? 0 : static_cast<std::size_t>(maxLineLength / 4 * 4);
    const std::size_t textLength = (count + 2) / 3 * 4;
    const std::size_t lineBreaks = lineLength > 0 ? textLength / lineLength : 0;
    std::string text(textLength + 2 * lineBreaks, '\0');

    const auto* in = static_cast<const unsigned char*>(bytes);
    char* out = text.data();
    std::size_t column = 0;
    for (std::size_t i = 0; i < count; i += 3) {
        const std::size_t groupSize = count - i < 3 ? count - i : 3;
        const unsigned group = static_cast<unsigned>(in[i]) << 16 |
                               (groupSize > 1 ? static_cast<unsigned>(in[i + 1]) << 8 : 0u) |
                               (groupSize > 2 ? static_cast<unsigned>(in[i + 2]) : 0u);
        *out++ = Alphabet[group >> 18 & 63];
        *out++ = Alphabet[group >> 12 & 63];
        *out++ = groupSize > 1 ? Alphabet[group >> 6 & 63] : '=';
        *out++ = groupSize > 2 ? Alphabet[group & 63] : '=';
        column += 4;
        if (lineLength > 0 && column == lineLength) {
            *out++ = '\r';
            *out++ = '\n';
            column = 0;
        }
    }
    return text;
}

std::string DecodeBase64(std::string_view text) {
    std::string clean;
    clean.reserve(text.size());
    for (const char c : text)
        if (static_cast<unsigned char>(c) > 32) clean += c;
    if (clean.empty()) return {};
    if (clean.size() % 4 != 0) RaiseBadFormat();

    std::size_t length = clean.size() / 4 * 3;
    if (clean[clean.size() - 2] == '=')
        length -= 2;
    else if (clean.back() == '=')
        length -= 1;
    std::string bytes(length, '*');

    // Group k writes from byte 3k on, as far as the result reaches.
    for (std::size_t i = 0, position = 0; i < clean.size() && position < length; i += 4) {
        const auto put = [&](unsigned byte) {
            if (position < length) bytes[position] = static_cast<char>(byte & 0xFF);
            ++position;
        };
        const std::size_t groupEnd = position + 3;
        const unsigned a = DecodeChar(clean[i]);
        const unsigned b = DecodeChar(clean[i + 1]);
        put(a << 2 | b >> 4);
        if (clean[i + 2] != '=') {
            const unsigned c = DecodeChar(clean[i + 2]);
            put(b << 4 | c >> 2);
            if (clean[i + 3] != '=') put(c << 6 | DecodeChar(clean[i + 3]));
        }
        position = groupEnd;
    }
    return bytes;
}

}  // namespace TolvexXml
