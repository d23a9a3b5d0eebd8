// The automation library's conversions of typed values, where the system has one
// (Windows). POSIX has none: there every function answers NotOffered and the
// callers apply the general rules of base/ (base/VariantConvert.cpp,
// base/BoolText.cpp) instead.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace Platform {

// 8-bit text in the ANSI code page: a type code of the typed value, not of the
// automation library, which takes such text as UTF-16.
inline constexpr std::uint16_t AutomationAnsiText = 256;

// A scalar by its automation type code (or AutomationAnsiText) and the payload
// member that type uses. The texts are borrowed from the caller.
struct AutomationScalar {
    std::uint16_t type = 0;
    std::int64_t integer = 0;  // integer kinds, Boolean, currency scaled by 10000
    double real = 0;           // double, date-time
    float single = 0;
    std::string_view text;     // AutomationAnsiText
    std::u16string_view wide;  // UTF-16 text
};

// A converted value: the payload member its target type uses.
struct AutomationResult {
    std::int64_t integer = 0;  // 64-bit integer, Boolean
    double real = 0;           // double, date-time
    std::u16string wide;       // text, for the UTF-16 and the 8-bit target alike
};

enum class AutomationOutcome {
    Converted,   // the result holds the value
    Mismatch,    // the text is no value of the target type
    Failed,      // any other failure of the conversion
    NotOffered,  // the system has no automation library
};

// Converts a scalar to the target type (one of the typed value's codes for
// UTF-16 text, 8-bit text, double, date-time, Boolean and 64-bit integer) by the
// user's locale, Booleans as the words True and False. Converted or Failed.
AutomationOutcome ChangeAutomationType(const AutomationScalar& value, std::uint16_t target, AutomationResult& result);

// Reads 8-bit text as a Boolean by the user's locale: Converted, Mismatch for a
// text that is no Boolean, Failed for any other failure.
AutomationOutcome AutomationBoolFromText(const std::string& text, bool& value);

}  // namespace Platform
