// Comparison of 8-bit text by the user's locale.
#pragma once

#include <string_view>

namespace Platform {

// True when the two texts are equal without regard to letter case (ASCII and the
// letters of the ANSI code page).
bool SameTextIgnoringCase(std::string_view a, std::string_view b);

}  // namespace Platform
