#include <filesystem>

#include "support/HostLibrary.h"

namespace TolvexTest {

namespace {
std::string libraryPath;
}

const std::string& LibraryPath() { return libraryPath; }

void SetLibraryPath(const std::string& path) {
    // Absolute now: the tests change the current directory before they load it.
    libraryPath = std::filesystem::absolute(path).string();
}

}  // namespace TolvexTest
