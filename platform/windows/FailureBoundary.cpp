#include "platform/FailureBoundary.h"

#include <windows.h>

#include <string>

namespace Platform {

void RaiseToHost(std::exception_ptr failure) {
    // The strings outlive the exception object: the host reads them after the raise.
    thread_local std::string className;
    thread_local std::string message;
    const FailureDescription description = DescribeFailure(failure);
    className = description.className;
    message = description.message;
    failure = nullptr;
    const ULONG_PTR arguments[2] = {reinterpret_cast<ULONG_PTR>(className.c_str()),
                                    reinterpret_cast<ULONG_PTR>(message.c_str())};
    ::RaiseException(HostFailureCode, EXCEPTION_NONCONTINUABLE, 2, arguments);
    // A host that resumes a non-continuable exception gets another one from the system.
    std::terminate();
}

}  // namespace Platform
