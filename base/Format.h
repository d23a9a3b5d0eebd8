// Formats like snprintf into a std::string of the exact length. Header-only, so
// that the operating-system layer can word its failures with it too.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <string>

namespace Platform {

// MinGW's C++ library formats with its own C99 printf (long double, %lld included).
inline std::string Format(const char* format, ...)
#if defined(__MINGW32__)
    __attribute__((format(gnu_printf, 1, 2)))
#elif defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

inline std::string Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    // Most texts fit a buffer on the stack and are formatted once; a longer one
    // is formatted again into a string of its measured size.
    char buffer[256];
    const int length = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    std::string text;
    if (length > 0 && static_cast<std::size_t>(length) < sizeof buffer) {
        text.assign(buffer, static_cast<std::size_t>(length));
    } else if (length > 0) {
        text.resize(static_cast<std::size_t>(length));
        std::vsnprintf(text.data(), text.size() + 1, format, again);
    }
    va_end(again);
    return text;
}

}  // namespace Platform
