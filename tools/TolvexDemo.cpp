// Loads the library as a host would, calls each export once in a fresh
// directory and prints what came back and what the log recorded.
#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include "host/TolvexTypes.h"

namespace {

template <class Function>
Function Export(void* library, const char* name) {
    void* address = dlsym(library, name);
    if (!address) {
        std::fprintf(stderr, "export %s missing: %s\n", name, dlerror());
        std::exit(1);
    }
    return reinterpret_cast<Function>(address);
}

template <class Call>
void Show(const char* what, Call call) {
    try {
        std::printf("%-44s -> result %d\n", what, static_cast<int>(call()));
    } catch (const std::exception& error) {
        std::printf("%-44s -> failed: %s\n", what, error.what());
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s PATH-TO-LIBRARY\n", argv[0]);
        return 2;
    }
    const std::filesystem::path libraryPath = std::filesystem::absolute(argv[1]);
    const std::filesystem::path workDirectory =
        std::filesystem::temp_directory_path() / ("tolvex-demo-" + std::to_string(getpid()));
    std::filesystem::create_directories(workDirectory);
    std::filesystem::current_path(workDirectory);
    std::printf("Working in %s\n\n", workDirectory.c_str());

    void* library = dlopen(libraryPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        std::fprintf(stderr, "cannot load %s: %s\n", libraryPath.c_str(), dlerror());
        return 1;
    }
    const auto getCardInfoEx = Export<TGetCardInfoEx>(library, "GetCardInfoEx");
    const auto transactionsEx = Export<TTransactionsEx>(library, "TransactionsEx");
    const auto getCardImageEx = Export<TGetCardImageEx>(library, "GetCardImageEx");
    const auto findEmail = Export<TFindEmail>(library, "FindEmail");

    TCardInfoRec info{};
    const char* outBuf = nullptr;
    int32_t outLen = 0;
    int16_t outKind = 0;
    Show("GetCardInfoEx(card 1234, rest 1, unit 2)", [&] {
        return getCardInfoEx(1234, 1, 2, &info, "hello", 5, 0, &outBuf, &outLen, &outKind);
    });
    Show("TransactionsEx(0 transactions)", [&] {
        return transactionsEx(0, nullptr, nullptr, 0, 0, &outBuf, &outLen, &outKind);
    });
    TCardImageRec image{};
    Show("GetCardImageEx(card 0)", [&] { return getCardImageEx(0, &image); });
    std::printf("%-44s    FileName \"%s\"\n", "", image.FileName);
    TEmailCardRec email{};
    Show("FindEmail(\"holder@example.com\")", [&] { return findEmail("holder@example.com", &email); });

    dlclose(library);
    std::ifstream log("tolvex.log", std::ios::binary);
    std::printf("\ntolvex.log:\n%s", std::string(std::istreambuf_iterator<char>(log), {}).c_str());
    return 0;
}
