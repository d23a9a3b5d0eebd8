// The general number format of floating-point values and its reading, with the
// decimal separator as a parameter (the locale's, or "." for XML).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace Platform {

// At most `precision` significant digits; fixed notation without trailing zeros
// when the magnitude is at least 0.00001 and there are at most `precision` digits
// before the separator, otherwise scientific notation ("1E-6", "1.5E20").
// Not-a-number and infinities give "NAN", "INF" and "-INF".
std::string FormatFloatGeneral(double value, int precision, char decimalSeparator);

// Optional blanks, optional sign, digits with an optional fraction after the
// separator, an optional exponent, optional blanks. No value when the text is not
// such a number or lies beyond the range of a double.
std::optional<double> ParseFloat(std::string_view text, char decimalSeparator);

}  // namespace Platform
