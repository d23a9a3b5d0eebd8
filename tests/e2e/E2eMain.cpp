#include <gtest/gtest.h>

#include <cstring>

#include "e2e/HostLibrary.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // The library built beside the tests, unless --library=PATH names another.
    TolvexTest::LibraryPath() = TOLVEX_DEFAULT_LIBRARY;
    const char* prefix = "--library=";
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], prefix, std::strlen(prefix)) == 0)
            TolvexTest::LibraryPath() = argv[i] + std::strlen(prefix);
    return RUN_ALL_TESTS();
}
