// The text forms of typed values: the one conversion that rendering and GetText
// use, date-time and floating-point text, and the hexadecimal form of SetAttrHex
// and GetAttrHex.
#pragma once

#include <cstdint>
#include <string>

#include "base/Variant.h"

namespace TolvexXml {

// The value's XML text in the code page (0: the system's ANSI code page). Never
// fails: a value that cannot be turned into text gives "*** ERROR !!! ***".
std::string ValueToXmlText(const Platform::Variant& value, unsigned codePage);

// yyyy-mm-ddThh:mm:ss, milliseconds dropped. A value outside the years 1 to 9999
// fails with EConvertError.
std::string DateTimeToXmlText(double dateTime);
// Reads yyyy-mm-dd, yyyy-mm-ddThh:mm:ss[.fff] or Thh:mm:ss (the digits after "."
// are whole milliseconds). Fields out of range fail with EConvertError "Invalid
// argument to date encode" / "Invalid argument to time encode".
double XmlTextToDateTime(const std::string& text);

// The general number format with at most 15 significant digits and "." as the
// decimal point, whatever the locale.
std::string FloatToXmlText(double value);
// A number with "." or "," as the decimal point; otherwise EConvertError
// "'%s' is not a valid floating point value".
double XmlTextToFloat(const std::string& text);

// Upper-case hexadecimal of the 32-bit pattern, zero-padded to `digits` (a count
// above 32, or below 1, pads nothing).
std::string Int32ToXmlHex(std::int32_t value, int digits);
// "$" joined to the value by the general addition of typed values, read by the
// 32-bit integer rule: the stored text must be hexadecimal digits only. Fails with
// EConvertError "'%s' is not a valid integer value", or EVariantTypeCastError for
// values that cannot be joined to text.
std::int32_t XmlHexToInt32(const Platform::Variant& value);

}  // namespace TolvexXml
