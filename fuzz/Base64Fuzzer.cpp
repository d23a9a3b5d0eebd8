// libFuzzer target for Base64. The input is decoded as text: it must decode or
// fail with TolvexXmlException "Bad Base64 format"; decoded bytes must encode
// and decode to themselves. The input is also encoded as bytes, with a line
// length taken from its first byte, and must decode to itself.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "xml/Base64.h"
#include "xml/XmlExceptions.h"

namespace {

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "base64: %s\n", what);
    std::abort();
}

// Encodes with the line length and decodes; the bytes must come back.
void CheckEncodeDecode(const std::string& bytes, int maxLineLength) {
    const std::string encoded = TolvexXml::EncodeBase64(bytes.data(), bytes.size(), maxLineLength);
    std::string decoded;
    try {
        decoded = TolvexXml::DecodeBase64(encoded);
    } catch (const TolvexXml::TolvexXmlException&) {
        Fail("encoded text does not decode");
    }
    if (decoded != bytes) Fail("bytes changed on encode and decode");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const int maxLineLength = size == 0 ? 76 : static_cast<std::int8_t>(data[0]);
    try {
        const std::string decoded = TolvexXml::DecodeBase64(input);
        CheckEncodeDecode(decoded, maxLineLength);
    } catch (const TolvexXml::TolvexXmlException& failure) {
        if (std::strcmp(failure.ClassName(), "TolvexXmlException") != 0 ||
            std::strcmp(failure.what(), "Bad Base64 format") != 0)
            Fail(failure.what());
    }
    CheckEncodeDecode(input, maxLineLength);
    return 0;
}
