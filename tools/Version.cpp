#include "tools/Version.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>

#include "TolvexBuildInfo.h"
#include "host/BuildMark.h"

namespace TolvexHost {

namespace {

// What follows the build mark's prefix in a library's bytes, up to its NUL.
std::optional<std::string> BuildMarkText(const std::string& bytes) {
    const std::string prefix = TOLVEX_BUILD_MARK_PREFIX;
    const size_t start = bytes.find(prefix);
    if (start == std::string::npos) return std::nullopt;
    const size_t end = bytes.find('\0', start + prefix.size());
    if (end == std::string::npos) return std::nullopt;
    return bytes.substr(start + prefix.size(), end - start - prefix.size());
}

}  // namespace

bool PrintVersion(const std::string& libraryPath) {
    std::printf("tolvex-host %s\n", TOLVEX_BUILD);
    std::ifstream file(libraryPath, std::ios::binary);
    if (!file) {
        std::fprintf(stderr, "tolvex-host: %s cannot be read\n", libraryPath.c_str());
        return false;
    }
    const std::optional<std::string> build = BuildMarkText({std::istreambuf_iterator<char>(file), {}});
    if (!build) {
        std::fprintf(stderr, "tolvex-host: %s holds no Tolvex29 build mark\n", libraryPath.c_str());
        return false;
    }
    std::printf("library %s: Tolvex29 %s\n", libraryPath.c_str(), build->c_str());
    return true;
}

}  // namespace TolvexHost
