// How a failure leaves an export for the host.
//
// Windows: once the export's body has unwound (all clean-up done), the failure is
// raised as the structured exception HostFailureCode, non-continuable, with two
// arguments: the class name and the message, both NUL-terminated and valid until
// the next failure on the same thread.
// Elsewhere: the C++ exception itself leaves the function; a host catches it as
// std::exception, what() is the message and its dynamic type names the class.
#pragma once

#include <exception>
#include <utility>

namespace Platform {

inline constexpr unsigned long HostFailureCode = 0xE0544C58UL;

// The class name and message of a failure as the host sees them.
struct FailureDescription {
    const char* className;
    const char* message;
};
FailureDescription DescribeFailure(const std::exception_ptr& failure);

[[noreturn]] void RaiseToHost(std::exception_ptr failure);

// Runs an export's body and hands any failure to the host in the platform's form.
template <class Body>
auto CallForHost(Body&& body) -> decltype(body()) {
    std::exception_ptr failure;
    try {
        return std::forward<Body>(body)();
    } catch (...) {
        failure = std::current_exception();
    }
    RaiseToHost(std::move(failure));
}

}  // namespace Platform
