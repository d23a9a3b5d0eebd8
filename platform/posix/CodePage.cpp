// Code pages through iconv; the ANSI code page is 1251.
#include "platform/CodePage.h"

#include <iconv.h>

#include <cerrno>
#include <functional>

#include "base/Exception.h"
#include "base/Format.h"

namespace Platform {

namespace {

constexpr unsigned PosixAnsiCodePage = 1251;

unsigned Resolved(unsigned codePage) { return codePage == CodePageAnsi ? PosixAnsiCodePage : codePage; }

std::string IconvName(unsigned codePage) {
    switch (Resolved(codePage)) {
        case CodePageUtf8: return "UTF-8";
        case 1200: return "UTF-16LE";
        case 20127: return "ASCII";
        case 28591: return "ISO-8859-1";
        case 28595: return "ISO-8859-5";
        case 20866: return "KOI8-R";
        case 21866: return "KOI8-U";
        default: return "CP" + std::to_string(Resolved(codePage));
    }
}

// One conversion descriptor for the lifetime of a call.
class Converter {
public:
    Converter(const std::string& to, const std::string& from, unsigned codePage)
        : handle_(iconv_open(to.c_str(), from.c_str())) {
        if (handle_ == reinterpret_cast<iconv_t>(-1))
            throw EConvertError(Format("Code page %u is not supported", codePage));
    }
    ~Converter() { iconv_close(handle_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts all of the input; a sequence that cannot be converted is replaced by
    // what `replacement` gives for the input there, and skipped by `skip` input bytes.
    std::string Convert(const char* input, size_t size, const std::function<std::string(const char*)>& replacement,
                        size_t skip) {
        std::string output;
        char buffer[4096];
        char* in = const_cast<char*>(input);
        size_t inLeft = size;
        while (inLeft > 0) {
            char* out = buffer;
            size_t outLeft = sizeof buffer;
            const size_t result = iconv(handle_, &in, &inLeft, &out, &outLeft);
            output.append(buffer, static_cast<size_t>(out - buffer));
            if (result != static_cast<size_t>(-1) || errno == E2BIG) continue;
            // EILSEQ or EINVAL (a sequence cut off at the end): replace and go on.
            output.append(replacement(in));
            const size_t step = skip < inLeft ? skip : inLeft;
            in += step;
            inLeft -= step;
        }
        char* out = buffer;
        size_t outLeft = sizeof buffer;
        iconv(handle_, nullptr, nullptr, &out, &outLeft);
        output.append(buffer, static_cast<size_t>(out - buffer));
        return output;
    }

private:
    iconv_t handle_;
};

// The Windows single-byte code pages leave a few bytes undefined (0x98 in 1251,
// 0x81 in 1252, ...); Windows maps such a byte to the code unit of the same
// number and back, so that no byte is lost on a round trip. iconv knows no
// mapping for them; these conversions add the Windows one.
bool KeepsUndefinedBytes(unsigned codePage) {
    const unsigned resolved = Resolved(codePage);
    return resolved == 874 || (resolved >= 1250 && resolved <= 1258);
}

bool IsUndefinedByte(unsigned codePage, char byte) {
    Converter converter("UTF-16LE", IconvName(codePage), codePage);
    bool undefined = false;
    converter.Convert(&byte, 1, [&undefined](const char*) { undefined = true; return std::string(); }, 1);
    return undefined;
}

}  // namespace

unsigned AnsiCodePage() { return PosixAnsiCodePage; }

std::u16string MultiByteToWide(unsigned codePage, std::string_view text) {
    if (text.empty()) return {};
    Converter converter("UTF-16LE", IconvName(codePage), codePage);
    const bool keepBytes = KeepsUndefinedBytes(codePage);
    const std::string bytes = converter.Convert(
        text.data(), text.size(),
        [keepBytes](const char* at) {
            if (keepBytes) return std::string{*at, '\0'};  // the byte's own number, little-endian
            return std::string{'\xFD', '\xFF'};           // U+FFFD
        },
        1);
    std::u16string wide(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < wide.size(); ++i)
        wide[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                        static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    return wide;
}

std::string WideToMultiByte(unsigned codePage, std::u16string_view text) {
    if (text.empty()) return {};
    Converter converter(IconvName(codePage), "UTF-16LE", codePage);
    std::string bytes(text.size() * 2, '\0');
    for (size_t i = 0; i < text.size(); ++i) {
        bytes[2 * i] = static_cast<char>(text[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<char>(text[i] >> 8);
    }
    // A code unit the code page cannot take becomes "?"; U+0080..U+00FF stand for
    // themselves where the code page leaves that byte undefined.
    const bool keepBytes = KeepsUndefinedBytes(codePage);
    return converter.Convert(
        bytes.data(), bytes.size(),
        [keepBytes, codePage](const char* at) {
            const bool upperHalfByte = static_cast<unsigned char>(at[0]) >= 0x80 && at[1] == 0;  // U+0080..U+00FF
            if (keepBytes && upperHalfByte && IsUndefinedByte(codePage, at[0])) return std::string(1, at[0]);
            return std::string("?");
        },
        2);
}

}  // namespace Platform
