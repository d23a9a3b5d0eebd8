// Files of the source tree that the documentation tests read.
#pragma once

#include <filesystem>
#include <string_view>

namespace TolvexTest {

inline std::filesystem::path SourceFile(std::string_view relative) {
    return std::filesystem::path(TOLVEX_SOURCE_DIR) / relative;
}

}  // namespace TolvexTest
