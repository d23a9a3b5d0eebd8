// Code pages through iconv; the ANSI code page is 1251.
#include "platform/CodePage.h"

#include <iconv.h>

#include <cerrno>

#include "platform/Exception.h"

namespace Platform {

namespace {

constexpr unsigned PosixAnsiCodePage = 1251;

std::string IconvName(unsigned codePage) {
    if (codePage == CodePageAnsi) codePage = PosixAnsiCodePage;
    switch (codePage) {
        case CodePageUtf8: return "UTF-8";
        case 1200: return "UTF-16LE";
        case 20127: return "ASCII";
        case 28591: return "ISO-8859-1";
        case 28595: return "ISO-8859-5";
        case 20866: return "KOI8-R";
        case 21866: return "KOI8-U";
        default: return "CP" + std::to_string(codePage);
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
    // `replacement` and skipped by `skip` input bytes.
    std::string Convert(const char* input, size_t size, std::string_view replacement, size_t skip) {
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
            output.append(replacement);
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

}  // namespace

unsigned AnsiCodePage() { return PosixAnsiCodePage; }

std::u16string MultiByteToWide(unsigned codePage, std::string_view text) {
    if (text.empty()) return {};
    Converter converter("UTF-16LE", IconvName(codePage), codePage);
    static constexpr char replacement[] = {'\xFD', '\xFF'};  // U+FFFD, little-endian
    const std::string bytes =
        converter.Convert(text.data(), text.size(), std::string_view(replacement, 2), 1);
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
    // A code unit the code page cannot take becomes "?".
    return converter.Convert(bytes.data(), bytes.size(), "?", 2);
}

}  // namespace Platform
