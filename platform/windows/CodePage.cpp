#include "platform/CodePage.h"

#include <windows.h>

#include <climits>

#include "base/Exception.h"
#include "base/Format.h"

namespace Platform {

namespace {

[[noreturn]] void RaiseUnsupported(unsigned codePage) {
    throw EConvertError(Format("Code page %u is not supported", codePage));
}

int CheckedLength(size_t size, unsigned codePage) {
    if (size > INT_MAX / 4) RaiseUnsupported(codePage);  // beyond what one call converts
    return static_cast<int>(size);
}

}  // namespace

unsigned AnsiCodePage() { return ::GetACP(); }

std::u16string MultiByteToWide(unsigned codePage, std::string_view text) {
    if (text.empty()) return {};
    const int size = CheckedLength(text.size(), codePage);
    const int length = ::MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    if (length <= 0) RaiseUnsupported(codePage);
    std::u16string wide(static_cast<size_t>(length), u'\0');
    ::MultiByteToWideChar(codePage, 0, text.data(), size, reinterpret_cast<wchar_t*>(wide.data()), length);
    return wide;
}

std::string WideToMultiByte(unsigned codePage, std::u16string_view text) {
    if (text.empty()) return {};
    const int size = CheckedLength(text.size(), codePage);
    const auto* source = reinterpret_cast<const wchar_t*>(text.data());
    const int length = ::WideCharToMultiByte(codePage, 0, source, size, nullptr, 0, nullptr, nullptr);
    if (length <= 0) RaiseUnsupported(codePage);
    std::string bytes(static_cast<size_t>(length), '\0');
    ::WideCharToMultiByte(codePage, 0, source, size, bytes.data(), length, nullptr, nullptr);
    return bytes;
}

}  // namespace Platform
