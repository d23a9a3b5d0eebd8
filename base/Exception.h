// The failure classes of the system. Every failure is a C++ exception derived
// from Platform::Exception; what() is the message and ClassName() the class name
// that a host sees (it travels across the binary boundary, see FailureBoundary.h).
#pragma once

#include <exception>
#include <string>

namespace Platform {

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }
    const std::string& Message() const noexcept { return message_; }
    virtual const char* ClassName() const noexcept { return "Exception"; }

private:
    std::string message_;
};

// Declares an exception class that only names itself: same constructor, own class name.
#define TOLVEX_DECLARE_EXCEPTION(Name, Base)                                \
    class Name : public Base {                                              \
    public:                                                                 \
        using Base::Base;                                                   \
        const char* ClassName() const noexcept override { return #Name; }   \
    }

// A host argument the call cannot use (a null pointer where it must read or write).
TOLVEX_DECLARE_EXCEPTION(EArgumentError, Exception);
// Conversions of text and typed values.
TOLVEX_DECLARE_EXCEPTION(EConvertError, Exception);
TOLVEX_DECLARE_EXCEPTION(EVariantTypeCastError, Exception);
TOLVEX_DECLARE_EXCEPTION(EInvalidCast, Exception);
// Files and streams.
TOLVEX_DECLARE_EXCEPTION(EStreamError, Exception);
TOLVEX_DECLARE_EXCEPTION(EFOpenError, EStreamError);
TOLVEX_DECLARE_EXCEPTION(EFCreateError, EStreamError);
TOLVEX_DECLARE_EXCEPTION(EReadError, EStreamError);
TOLVEX_DECLARE_EXCEPTION(EWriteError, EStreamError);

}  // namespace Platform
