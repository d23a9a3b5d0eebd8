// The integer text rule: leading blanks, an optional sign, then decimal digits or
// hexadecimal digits after "$", "x", "X", "0x" or "0X"; nothing may follow the
// digits. Failures raise EConvertError "'%s' is not a valid integer value".
#pragma once

#include <cstdint>
#include <string_view>

namespace Platform {

// Decimal values must lie in the 64-bit signed range; hexadecimal digits may fill
// all 64 bits (FFFFFFFFFFFFFFFF is -1).
std::int64_t StrToInt64(std::string_view text);
// The same rule for 32 bits: decimal in the signed range, hexadecimal up to
// FFFFFFFF (read as its two's complement value).
std::int32_t StrToInt32(std::string_view text);

}  // namespace Platform
