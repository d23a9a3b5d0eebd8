// Encoding names and code pages, and the UTF-8 decoding of parsed values.
#pragma once

#include <cstdint>
#include <cstddef>
#include <string>
#include <string_view>

#include "base/Variant.h"

namespace TolvexXml {

using TEncodingToCodePage = std::uint16_t (*)(const std::string& encoding);

// "UTF-8" 65001, "Windows-1251" 1251, "IBM866" and "CP866" 866, compared without
// regard to ASCII letter case; 0 for any other name, the empty one included.
std::uint16_t StandardEncodingToCodePage(const std::string& encoding);

// The library's encoding lookup: StandardEncodingToCodePage unless the application
// installs its own (before it loads documents). 0 stands for a name without a
// code page.
extern TEncodingToCodePage EncodingToCodePage;

// When true, an XML declaration naming an encoding of code page 65001 switches on
// the UTF-8 decoding of the character data and attribute values that follow.
extern bool DecodeUtf8OnLoad;

// The UTF-8 value decoding of the parser: the value as 8-bit text when it holds no
// multi-byte sequence, otherwise its UTF-16 text. A lead byte with bit 0x20 clear
// starts a two-byte sequence, one with it set a three-byte sequence; every
// following byte must be 0x80..0xBF. A malformed value fails with
// TolvexXmlException "Bad UTF8 format".
Platform::Variant DecodeUtf8Value(std::string value);
// The characters of the value by the same rule (equal to its size when it holds
// no multi-byte sequence); fails as DecodeUtf8Value does.
std::size_t Utf8CharacterCount(std::string_view value);

}  // namespace TolvexXml
