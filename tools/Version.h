// tolvex-host --version: the tool's own version and build, and those of the
// library it would load, read from the library file's build mark.
#pragma once

#include <string>

namespace TolvexHost {

// Prints the tool's version and build, then the library's path and build.
// Returns false, with the reason on stderr, when the library's build cannot be read.
bool PrintVersion(const std::string& libraryPath);

}  // namespace TolvexHost
