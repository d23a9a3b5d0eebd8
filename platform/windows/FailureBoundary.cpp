#include "platform/FailureBoundary.h"

#include <windows.h>

#include <map>
#include <mutex>
#include <string>

#include "platform/ModuleHooks.h"

namespace Platform {

namespace {

// The class name and message of the last failure raised on a thread: the host
// reads them after the raise, until the next failure on that thread. They are not
// a thread_local with a destructor: the runtime pins the DLL in memory for every
// thread that registers one, and FreeLibrary would no longer unload it.
struct FailureTexts {
    std::string className;
    std::string message;
};

std::mutex failureTextsLock;
std::map<DWORD, FailureTexts> failureTextsByThread;  // node-based: an entry never moves

}  // namespace

void RaiseToHost(std::exception_ptr failure) {
    const FailureDescription description = DescribeFailure(failure);
    const FailureTexts* texts;
    {
        std::lock_guard<std::mutex> guard(failureTextsLock);
        FailureTexts& own = failureTextsByThread[::GetCurrentThreadId()];
        own.className = description.className;
        own.message = description.message;
        texts = &own;
    }
    failure = nullptr;
    const ULONG_PTR arguments[2] = {reinterpret_cast<ULONG_PTR>(texts->className.c_str()),
                                    reinterpret_cast<ULONG_PTR>(texts->message.c_str())};
    ::RaiseException(HostFailureCode, EXCEPTION_NONCONTINUABLE, 2, arguments);
    // A host that resumes a non-continuable exception gets another one from the system.
    std::terminate();
}

void ReleaseThreadState() {
    std::lock_guard<std::mutex> guard(failureTextsLock);
    failureTextsByThread.erase(::GetCurrentThreadId());
}

}  // namespace Platform
