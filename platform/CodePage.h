// Conversions between 8-bit text in a code page and UTF-16 text.
#pragma once

#include <string>
#include <string_view>

namespace Platform {

inline constexpr unsigned CodePageAnsi = 0;  // the system's default ANSI code page
inline constexpr unsigned CodePageUtf8 = 65001;

// The system's default ANSI code page (1251 on POSIX).
unsigned AnsiCodePage();

// Characters the target code page lacks become its default character ("?"), bytes
// that are no character of the source code page become U+FFFD (or, for a
// single-byte code page, the system's mapping). A code page the system does not
// know fails with EConvertError.
std::u16string MultiByteToWide(unsigned codePage, std::string_view text);
std::string WideToMultiByte(unsigned codePage, std::u16string_view text);

}  // namespace Platform
