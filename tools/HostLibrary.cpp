#include "tools/HostLibrary.h"

#include <cstdlib>

#if defined(_WIN32)
#include <windows.h>

#include <csetjmp>
#else
#include <cxxabi.h>
#include <dlfcn.h>

#include <exception>
#include <typeinfo>
#endif

namespace TolvexHost {

#if defined(_WIN32)

HostLibrary::HostLibrary(const std::string& path)
    : handle_(reinterpret_cast<void*>(::LoadLibraryA(path.c_str()))) {
    if (!handle_) loadError_ = "LoadLibraryA failed with error " + std::to_string(::GetLastError());
    getCardInfoEx = reinterpret_cast<TGetCardInfoEx>(Symbol("GetCardInfoEx"));
    transactionsEx = reinterpret_cast<TTransactionsEx>(Symbol("TransactionsEx"));
    getCardImageEx = reinterpret_cast<TGetCardImageEx>(Symbol("GetCardImageEx"));
    findEmail = reinterpret_cast<TFindEmail>(Symbol("FindEmail"));
}

HostLibrary::~HostLibrary() {
    if (handle_) ::FreeLibrary(static_cast<HMODULE>(handle_));
}

void* HostLibrary::Symbol(const char* name) const {
    if (!handle_) return nullptr;
    return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(handle_), name));
}

namespace {

// The library's failure arrives as a structured exception; a vectored handler
// keeps its two strings and jumps back to the call site.
thread_local std::jmp_buf* callSite = nullptr;
thread_local CallOutcome* pendingOutcome = nullptr;

LONG CALLBACK CatchLibraryFailure(EXCEPTION_POINTERS* info) {
    EXCEPTION_RECORD* record = info->ExceptionRecord;
    if (record->ExceptionCode != TOLVEX_FAILURE_CODE || callSite == nullptr)
        return EXCEPTION_CONTINUE_SEARCH;
    pendingOutcome->failed = true;
    pendingOutcome->exceptionCode = record->ExceptionCode;
    pendingOutcome->exceptionFlags = record->ExceptionFlags;
    pendingOutcome->parameterCount = record->NumberParameters;
    if (record->NumberParameters >= 2) {
        pendingOutcome->className = reinterpret_cast<const char*>(record->ExceptionInformation[0]);
        pendingOutcome->message = reinterpret_cast<const char*>(record->ExceptionInformation[1]);
    }
    std::longjmp(*callSite, 1);
}

}  // namespace

CallOutcome CallExport(const std::function<std::int32_t()>& call) {
    static PVOID handler = ::AddVectoredExceptionHandler(1, CatchLibraryFailure);
    (void)handler;
    CallOutcome outcome;
    std::jmp_buf site;
    callSite = &site;
    pendingOutcome = &outcome;
    if (setjmp(site) == 0) outcome.result = call();
    callSite = nullptr;
    pendingOutcome = nullptr;
    return outcome;
}

#else

HostLibrary::HostLibrary(const std::string& path) : handle_(::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) {
    if (!handle_) loadError_ = ::dlerror();
    getCardInfoEx = reinterpret_cast<TGetCardInfoEx>(Symbol("GetCardInfoEx"));
    transactionsEx = reinterpret_cast<TTransactionsEx>(Symbol("TransactionsEx"));
    getCardImageEx = reinterpret_cast<TGetCardImageEx>(Symbol("GetCardImageEx"));
    findEmail = reinterpret_cast<TFindEmail>(Symbol("FindEmail"));
}

HostLibrary::~HostLibrary() {
    if (handle_) ::dlclose(handle_);
}

void* HostLibrary::Symbol(const char* name) const { return handle_ ? ::dlsym(handle_, name) : nullptr; }

namespace {

// "Platform::EFOpenError" -> "EFOpenError"
std::string ClassNameOf(const std::type_info& type) {
    int status = 0;
    char* demangled = abi::__cxa_demangle(type.name(), nullptr, nullptr, &status);
    std::string name = status == 0 && demangled ? demangled : type.name();
    std::free(demangled);
    const size_t colon = name.rfind("::");
    return colon == std::string::npos ? name : name.substr(colon + 2);
}

}  // namespace

CallOutcome CallExport(const std::function<std::int32_t()>& call) {
    CallOutcome outcome;
    try {
        outcome.result = call();
    } catch (const std::exception& error) {
        outcome.failed = true;
        outcome.className = ClassNameOf(typeid(error));
        outcome.message = error.what();
    }
    return outcome;
}

#endif

}  // namespace TolvexHost
