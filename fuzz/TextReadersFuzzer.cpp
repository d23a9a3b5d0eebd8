// libFuzzer target for the text readers of numbers and dates. Every input goes
// to each reader: the integer rule (64 and 32 bits), the float reader (both
// decimal separators), the XML float, date-time and hexadecimal readers. Each
// must give a value or fail with its documented class (the optional readers
// give no value). Where a writer exists, value -> text -> value must hold and
// the text must be stable from its first writing on.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "base/DateTime.h"
#include "base/Exception.h"
#include "base/FloatText.h"
#include "base/IntegerText.h"
#include "base/Variant.h"
#include "xml/ValueText.h"

namespace {

[[noreturn]] void Fail(const char* reader, const std::string& detail) {
    std::fprintf(stderr, "text_readers: %s: %s\n", reader, detail.c_str());
    std::abort();
}

// Runs the read; an EConvertError (exactly that class) means "no value".
template <class Read>
auto ReadOrConvertError(const char* reader, Read read) -> std::optional<decltype(read())> {
    try {
        return read();
    } catch (const Platform::EConvertError& failure) {
        if (std::strcmp(failure.ClassName(), "EConvertError") != 0) Fail(reader, failure.ClassName());
        return std::nullopt;
    }
}

void CheckIntegers(const std::string& text) {
    if (const auto value = ReadOrConvertError("StrToInt64", [&] { return Platform::StrToInt64(text); }))
        if (Platform::StrToInt64(std::to_string(*value)) != *value) Fail("StrToInt64", std::to_string(*value));
    if (const auto value = ReadOrConvertError("StrToInt32", [&] { return Platform::StrToInt32(text); })) {
        if (Platform::StrToInt32(std::to_string(*value)) != *value) Fail("StrToInt32", std::to_string(*value));
        // Hexadecimal digits that fill 32 bits are the two's complement value.
        if (static_cast<std::int32_t>(Platform::StrToInt64(text)) != *value)
            Fail("StrToInt32", "differs from StrToInt64");
    }
}

// The general format: the text of the value reads back to a value that writes the same text,
// and 17 digits read back to the value itself.
void CheckFloatFormat(double value, char separator) {
    if (!std::isfinite(value)) return;
    const std::string text = Platform::FormatFloatGeneral(value, 15, separator);
    const std::optional<double> reread = Platform::ParseFloat(text, separator);
    if (!reread) Fail("FormatFloatGeneral", text + " does not read back");
    if (Platform::FormatFloatGeneral(*reread, 15, separator) != text) Fail("FormatFloatGeneral", text + " is not stable");
    const std::string exact = Platform::FormatFloatGeneral(value, 17, separator);
    const std::optional<double> exactValue = Platform::ParseFloat(exact, separator);
    if (!exactValue || *exactValue != value) Fail("FormatFloatGeneral", exact + " does not read back exactly");
}

void CheckFloats(const std::string& text) {
    for (const char separator : {'.', ','})
        if (const std::optional<double> value = Platform::ParseFloat(text, separator)) CheckFloatFormat(*value, separator);
    if (const auto value = ReadOrConvertError("XmlTextToFloat", [&] { return TolvexXml::XmlTextToFloat(text); })) {
        if (!std::isfinite(*value)) return;
        const std::string written = TolvexXml::FloatToXmlText(*value);
        if (TolvexXml::FloatToXmlText(TolvexXml::XmlTextToFloat(written)) != written)
            Fail("XmlTextToFloat", written + " is not stable");
    }
}

// A date-time decodes to parts that encode back to a value decoding to the same parts.
void CheckDecode(double value) {
    const auto date = ReadOrConvertError("DecodeDate", [&] { return Platform::DecodeDate(value); });
    const auto time = ReadOrConvertError("DecodeTime", [&] { return Platform::DecodeTime(value); });
    if (date.has_value() != time.has_value()) Fail("DecodeDate", "date and time disagree on the range");
    if (!date) return;
    const double again = Platform::ComposeDateTime(Platform::EncodeDate(date->year, date->month, date->day),
                                                   Platform::EncodeTime(time->hour, time->minute, time->second,
                                                                        time->millisecond));
    const Platform::DateParts date2 = Platform::DecodeDate(again);
    const Platform::TimeParts time2 = Platform::DecodeTime(again);
    if (date2.year != date->year || date2.month != date->month || date2.day != date->day ||
        time2.hour != time->hour || time2.minute != time->minute || time2.second != time->second ||
        time2.millisecond != time->millisecond)
        Fail("DecodeDate", Platform::FormatFloatGeneral(value, 17, '.') + " does not encode back");
}

void CheckDateTimes(const std::string& text) {
    if (const std::optional<double> value = Platform::ParseFloat(text, '.')) CheckDecode(*value);
    const auto value = ReadOrConvertError("XmlTextToDateTime", [&] { return TolvexXml::XmlTextToDateTime(text); });
    if (!value) return;
    CheckDecode(*value);
    const auto written = ReadOrConvertError("DateTimeToXmlText", [&] { return TolvexXml::DateTimeToXmlText(*value); });
    if (!written) return;
    if (TolvexXml::DateTimeToXmlText(TolvexXml::XmlTextToDateTime(*written)) != *written)
        Fail("XmlTextToDateTime", *written + " is not stable");
}

void CheckHex(const std::string& text) {
    const auto value = ReadOrConvertError(
        "XmlHexToInt32", [&] { return TolvexXml::XmlHexToInt32(Platform::Variant::FromString(text)); });
    if (!value) return;
    for (const int digits : {1, 8}) {
        const std::string written = TolvexXml::Int32ToXmlHex(*value, digits);
        if (TolvexXml::XmlHexToInt32(Platform::Variant::FromString(written)) != *value)
            Fail("XmlHexToInt32", written + " does not read back");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    CheckIntegers(text);
    CheckFloats(text);
    CheckDateTimes(text);
    CheckHex(text);
    return 0;
}
