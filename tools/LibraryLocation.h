// Where tolvex-host finds the library when --library does not say.
#pragma once

#include <string>

namespace TolvexHost {

// The library's file name on this platform: Tolvex29.dll or Tolvex29.so.
extern const char* const LibraryFileName;

// The library beside the running program.
std::string DefaultLibraryPath();

}  // namespace TolvexHost
