#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#if defined(_WIN32)
#include <windows.h>
#endif

#include "support/HostLibrary.h"

namespace {

// The library built with the tests: native builds name its full path, Windows
// builds put the DLL beside the test program.
std::string DefaultLibraryPath() {
#if defined(_WIN32)
    char program[MAX_PATH];
    const DWORD length = ::GetModuleFileNameA(nullptr, program, sizeof program);
    return (std::filesystem::path(std::string(program, length)).parent_path() / TOLVEX_DEFAULT_LIBRARY)
        .string();
#else
    return TOLVEX_DEFAULT_LIBRARY;
#endif
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    TolvexTest::SetLibraryPath(DefaultLibraryPath());
    const char* prefix = "--library=";
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], prefix, std::strlen(prefix)) == 0)
            TolvexTest::SetLibraryPath(argv[i] + std::strlen(prefix));
    return RUN_ALL_TESTS();
}
