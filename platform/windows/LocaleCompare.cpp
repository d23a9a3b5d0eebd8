#include "platform/LocaleCompare.h"

#include <windows.h>

#include <climits>

namespace Platform {

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() > INT_MAX || b.size() > INT_MAX) return false;
    return ::CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()),
                            b.data(), static_cast<int>(b.size())) == CSTR_EQUAL;
}

}  // namespace Platform
