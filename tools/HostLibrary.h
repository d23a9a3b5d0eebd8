// Loads the library the way a host does (dlopen / LoadLibraryA) and calls its
// exports, turning a failure that leaves an export into a CallOutcome. Shared by
// tolvex-host and the end-to-end tests.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#if defined(_WIN32)
#include <windows.h>
#endif

#include "host/TolvexTypes.h"

namespace TolvexHost {

struct CallOutcome {
    bool failed = false;
    std::int32_t result = -1;
    std::string className;  // the failure's class, without namespace
    std::string message;
    // Windows: the structured exception as it arrived.
    std::uint32_t exceptionCode = 0;
    std::uint32_t exceptionFlags = 0;
    std::uint32_t parameterCount = 0;
};

class HostLibrary {
public:
    explicit HostLibrary(const std::string& path);
    ~HostLibrary();
    HostLibrary(const HostLibrary&) = delete;
    HostLibrary& operator=(const HostLibrary&) = delete;

    bool Loaded() const { return handle_ != nullptr; }
    // Loaded, with all four exports found.
    bool HasEveryExport() const {
        return Loaded() && getCardInfoEx && transactionsEx && getCardImageEx && findEmail;
    }
    // Why the load failed, as the system tells it; empty after a good load.
    const std::string& LoadError() const { return loadError_; }
    // The module handle (HMODULE on Windows, the dlopen handle elsewhere).
    void* Handle() const { return handle_; }
    // The address of an export by name, or null.
    void* Symbol(const char* name) const;

    TGetCardInfoEx getCardInfoEx = nullptr;
    TTransactionsEx transactionsEx = nullptr;
    TGetCardImageEx getCardImageEx = nullptr;
    TFindEmail findEmail = nullptr;

private:
    void* handle_ = nullptr;
    std::string loadError_;
};

// Runs one call of an export; a failure raised by the library becomes the outcome.
CallOutcome CallExport(const std::function<std::int32_t()>& call);

}  // namespace TolvexHost
