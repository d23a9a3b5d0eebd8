// What the fuzz targets of line-based formats share: the count of lines of an
// input and the abort that reports a broken promise.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace TolvexFuzz {

// Lines end at LF; a last line without one counts too.
inline std::size_t LineCount(std::string_view bytes) {
    const auto breaks = static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n'));
    return breaks + (bytes.empty() || bytes.back() == '\n' ? 0 : 1);
}

// Reports what went wrong under the target's name and aborts: a finding.
[[noreturn]] inline void Fail(const char* target, const std::string& what) {
    std::fprintf(stderr, "%s: %s\n", target, what.c_str());
    std::abort();
}

}  // namespace TolvexFuzz
