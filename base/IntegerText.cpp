#include "base/IntegerText.h"

#include <string>

#include "base/Exception.h"
#include "base/Format.h"

namespace Platform {

namespace {

[[noreturn]] void RaiseNotInteger(std::string_view text) {
    throw EConvertError(Format("'%s' is not a valid integer value", std::string(text).c_str()));
}

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

int DigitValue(char c, unsigned base) {
    return base == 10 ? (c >= '0' && c <= '9' ? c - '0' : -1) : HexDigitValue(c);
}

// The digits in the base, up to limit; nothing else may follow. The base is a
// constant of each instance, so that the bounds are worked out at compile time.
template <unsigned Base>
std::uint64_t ReadDigits(std::string_view text, std::size_t i, std::uint64_t limit) {
    const std::uint64_t cutoff = limit / Base;  // a larger magnitude cannot take another digit
    const auto lastDigitAtCutoff = static_cast<int>(limit % Base);
    std::uint64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        const int digit = DigitValue(text[i], Base);
        if (digit < 0) RaiseNotInteger(text);
        if (magnitude >= cutoff && (magnitude > cutoff || digit > lastDigitAtCutoff)) RaiseNotInteger(text);
        magnitude = magnitude * Base + static_cast<std::uint64_t>(digit);
    }
    return magnitude;
}

// Reads the text by the integer rule into `bits` bits: decimal magnitudes up to
// the signed maximum (one more when negative), hexadecimal ones up to all bits set.
std::int64_t ReadInteger(std::string_view text, unsigned bits) {
    const std::uint64_t allBits = bits == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << bits) - 1;
    const std::uint64_t signedMax = allBits >> 1;

    size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';

    bool hexadecimal = false;
    if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        hexadecimal = true;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        hexadecimal = true;
        i += 2;
    }
    if (i == text.size()) RaiseNotInteger(text);

    std::uint64_t magnitude = hexadecimal ? ReadDigits<16>(text, i, allBits)
                                          : ReadDigits<10>(text, i, signedMax + (negative ? 1 : 0));
    // Hexadecimal digits may fill every bit: the pattern is read as two's complement.
    if (hexadecimal && magnitude > signedMax) magnitude |= ~allBits;
    const auto value = static_cast<std::int64_t>(magnitude);
    return negative ? static_cast<std::int64_t>(0 - static_cast<std::uint64_t>(value)) : value;
}

}  // namespace

std::int64_t StrToInt64(std::string_view text) { return ReadInteger(text, 64); }

std::int32_t StrToInt32(std::string_view text) { return static_cast<std::int32_t>(ReadInteger(text, 32)); }

}  // namespace Platform
