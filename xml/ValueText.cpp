#include "xml/ValueText.h"

#include "base/DateTime.h"
#include "base/Exception.h"
#include "base/FloatText.h"
#include "base/Format.h"
#include "base/IntegerText.h"
#include "platform/CodePage.h"
#include "xml/Base64.h"

namespace TolvexXml {

using Platform::Variant;

namespace {

constexpr char ErrorText[] = "*** ERROR !!! ***";

// Reads the field of XmlTextToDateTime at the cursor: the digit run as a number
// (0 when empty); the cursor passes the separator when it follows, else goes to the end.
unsigned ReadField(const std::string& text, size_t& cursor, char separator) {
    const size_t start = cursor;
    while (cursor < text.size() && text[cursor] >= '0' && text[cursor] <= '9') ++cursor;
    const std::string_view digits(text.data() + start, cursor - start);
    const std::int32_t value = digits.empty() ? 0 : Platform::StrToInt32(digits);
    if (cursor < text.size() && text[cursor] == separator)
        ++cursor;
    else
        cursor = text.size();
    return static_cast<unsigned>(value);
}

// Fields beyond 16 bits are out of range for every field; they fail rather than wrap.
int DateField(unsigned value) {
    if (value > 0xFFFF) throw Platform::EConvertError("Invalid argument to date encode");
    return static_cast<int>(value);
}

int TimeField(unsigned value) {
    if (value > 0xFFFF) throw Platform::EConvertError("Invalid argument to time encode");
    return static_cast<int>(value);
}

std::string ConvertToXmlText(const Variant& value, unsigned codePage) {
    switch (value.Type()) {
        case Platform::varEmpty: return {};
        case Platform::varNull: return "{{null}}";
        case Platform::varSmallint:
        case Platform::varInteger:
        case Platform::varShortInt:
        case Platform::varByte:
        case Platform::varWord:
        case Platform::varLongWord:
        case Platform::varInt64: return std::to_string(value.RawInteger());
        case Platform::varSingle: return FloatToXmlText(value.RawSingle());
        case Platform::varDouble: return FloatToXmlText(value.RawDouble());
        case Platform::varCurrency: return FloatToXmlText(static_cast<double>(value.RawCurrency()) / 10000);
        case Platform::varDate: return DateTimeToXmlText(value.RawDouble());
        case Platform::varOleStr: return Platform::WideToMultiByte(codePage, value.RawWide());
        case Platform::varBoolean: return value.RawBool() != 0 ? "1" : "0";
        case Platform::varString: return std::string(value.RawString());
        case Platform::varByteArray: return EncodeBase64(value.RawBytes().data(), value.RawBytes().size(), 0);
        default: return value.ToString();
    }
}

}  // namespace

std::string ValueToXmlText(const Variant& value, unsigned codePage) {
    try {
        return ConvertToXmlText(value, codePage);
    } catch (const std::exception&) {
        return ErrorText;
    }
}

std::string DateTimeToXmlText(double dateTime) {
    const Platform::DateParts date = Platform::DecodeDate(dateTime);
    const Platform::TimeParts time = Platform::DecodeTime(dateTime);
    return Platform::Format("%.4d-%.2d-%.2dT%.2d:%.2d:%.2d", date.year, date.month, date.day, time.hour,
                            time.minute, time.second);
}

double XmlTextToDateTime(const std::string& text) {
    size_t cursor = 0;
    const unsigned year = ReadField(text, cursor, '-');
    const unsigned month = ReadField(text, cursor, '-');
    if (year == 0) cursor = 0;
    const unsigned day = ReadField(text, cursor, 'T');
    const unsigned hour = ReadField(text, cursor, ':');
    const unsigned minute = ReadField(text, cursor, ':');
    const unsigned second = ReadField(text, cursor, '.');
    const unsigned millisecond = ReadField(text, cursor, '-');

    if (year == 0)
        return Platform::EncodeTime(TimeField(hour), TimeField(minute), TimeField(second), TimeField(millisecond));
    const double date = Platform::EncodeDate(DateField(year), DateField(month), DateField(day));
    return Platform::ComposeDateTime(
        date, Platform::EncodeTime(TimeField(hour), TimeField(minute), TimeField(second), TimeField(millisecond)));
}

std::string FloatToXmlText(double value) { return Platform::FormatFloatGeneral(value, 15, '.'); }

double XmlTextToFloat(const std::string& text) {
    std::string number = text;
    if (const size_t comma = number.find(','); comma != std::string::npos) number[comma] = '.';
    if (const std::optional<double> value = Platform::ParseFloat(number, '.')) return *value;
    throw Platform::EConvertError(Platform::Format("'%s' is not a valid floating point value", text.c_str()));
}

std::string Int32ToXmlHex(std::int32_t value, int digits) {
    const int width = digits < 1 || digits > 32 ? 1 : digits;
    return Platform::Format("%.*X", width, static_cast<unsigned>(value));
}

std::int32_t XmlHexToInt32(const Variant& value) {
    return Platform::StrToInt32(Variant::FromString("$").Add(value).ToString());
}

}  // namespace TolvexXml
