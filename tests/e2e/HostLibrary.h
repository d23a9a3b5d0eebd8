// Loads the built library the way a host does (dlopen / LoadLibraryA) and calls
// its exports, turning a failure that leaves an export into a CallOutcome.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "host/TolvexTypes.h"

namespace TolvexTest {

// The library path given on the test program's command line (--library=PATH).
std::string& LibraryPath();

struct CallOutcome {
    bool failed = false;
    std::int32_t result = -1;
    std::string className;  // the failure's class, without namespace
    std::string message;
};

class HostLibrary {
public:
    explicit HostLibrary(const std::string& path);
    ~HostLibrary();
    HostLibrary(const HostLibrary&) = delete;
    HostLibrary& operator=(const HostLibrary&) = delete;

    bool Loaded() const { return handle_ != nullptr; }
    // The address of an export by name, or null.
    void* Symbol(const char* name) const;

    TGetCardInfoEx getCardInfoEx = nullptr;
    TTransactionsEx transactionsEx = nullptr;
    TGetCardImageEx getCardImageEx = nullptr;
    TFindEmail findEmail = nullptr;

private:
    void* handle_ = nullptr;
};

// Runs one call of an export; a failure raised by the library becomes the outcome.
CallOutcome CallExport(const std::function<std::int32_t()>& call);

}  // namespace TolvexTest
