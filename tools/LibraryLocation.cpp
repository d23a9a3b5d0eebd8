#include "tools/LibraryLocation.h"

#include <filesystem>

#if defined(_WIN32)
#include <windows.h>
#endif

namespace TolvexHost {

#if defined(_WIN32)

const char* const LibraryFileName = "Tolvex29.dll";

std::string DefaultLibraryPath() {
    char program[MAX_PATH];
    const DWORD length = ::GetModuleFileNameA(nullptr, program, sizeof program);
    return (std::filesystem::path(std::string(program, length)).parent_path() / LibraryFileName).string();
}

#else

const char* const LibraryFileName = "Tolvex29.so";

std::string DefaultLibraryPath() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string(LibraryFileName) : (program.parent_path() / LibraryFileName).string();
}

#endif

}  // namespace TolvexHost
