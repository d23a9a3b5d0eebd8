// Base64 (RFC 4648 alphabet, "=" padding) for byte blocks in XML text.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace TolvexXml {

// CR LF after every maxLineLength characters, rounded down to a multiple of 4
// (also after the last group when the text fills its last line); below 4 (negative
// included) no line breaks at all.
std::string EncodeBase64(const void* bytes, std::size_t count, int maxLineLength);

// Characters 0 to 32 are ignored. Fails with TolvexXmlException "Bad Base64
// format" for 1 to 3 significant characters, a count that is not a multiple of
// four, or a character outside the alphabet in a decoded position. A "=" in the
// third or fourth place ends its group; bytes that no group writes are "*".
std::string DecodeBase64(std::string_view text);

}  // namespace TolvexXml
