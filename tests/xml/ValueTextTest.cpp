// The XML text forms of typed values, dates, floats and hexadecimal numbers.
#include <gtest/gtest.h>

#include <cmath>

#include "base/DateTime.h"
#include "base/Exception.h"
#include "support/ExpectFailure.h"
#include "xml/ValueText.h"

namespace TolvexXml {
namespace {

using Platform::Variant;

std::string Repeat(const std::string& text, int count) {
    std::string result;
    for (int i = 0; i < count; ++i) result += text;
    return result;
}

struct ValueCase {
    const char* name;
    Variant value;
    unsigned codePage;
    std::string expected;
};

class ValueToXmlTextCases : public ::testing::TestWithParam<ValueCase> {};

TEST_P(ValueToXmlTextCases, WritesTheText) {
    EXPECT_EQ(ValueToXmlText(GetParam().value, GetParam().codePage), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ValueToXmlTextCases,
    ::testing::Values(
        ValueCase{"Empty", Variant(), 0, ""}, ValueCase{"Null", Variant::Null(), 0, "{{null}}"},
        ValueCase{"Smallint", Variant::FromSmallint(-12), 0, "-12"},
        ValueCase{"Integer", Variant::FromInt32(INT32_MIN), 0, "-2147483648"},
        ValueCase{"ShortInt", Variant::FromShortInt(-128), 0, "-128"}, ValueCase{"Byte", Variant::FromByte(255), 0, "255"},
        ValueCase{"Word", Variant::FromWord(65535), 0, "65535"},
        ValueCase{"LongWord", Variant::FromLongWord(4294967295u), 0, "4294967295"},
        ValueCase{"Int64", Variant::FromInt64(INT64_MIN), 0, "-9223372036854775808"},
        ValueCase{"SingleWidened", Variant::FromSingle(0.1f), 0, "0.100000001490116"},
        ValueCase{"Double", Variant::FromDouble(1.5), 0, "1.5"},
        ValueCase{"DoubleSmall", Variant::FromDouble(0.000001), 0, "1E-6"},
        ValueCase{"Currency", Variant::FromCurrency(12345678), 0, "1234.5678"},
        ValueCase{"NegativeCurrency", Variant::FromCurrency(-5000), 0, "-0.5"},
        ValueCase{"DateNoon", Variant::FromDateTime(0.5), 0, "1899-12-30T12:00:00"},
        ValueCase{"BooleanTrue", Variant::FromBool(true), 0, "1"},
        ValueCase{"BooleanRaw", Variant::FromBoolRaw(2), 0, "1"}, ValueCase{"BooleanFalse", Variant::FromBool(false), 0, "0"},
        ValueCase{"String", Variant::FromString("a<b \xCF"), 65001, "a<b \xCF"},
        ValueCase{"WideUtf8", Variant::FromWide(u"\u041F\u0440"), 65001, "\xD0\x9F\xD1\x80"},
        ValueCase{"Wide1251", Variant::FromWide(u"\u041F\u0440"), 1251, "\xCF\xF0"},
        ValueCase{"Wide866", Variant::FromWide(u"\u041F\u0440"), 866, "\x8F\xE0"},
        ValueCase{"WideAnsi", Variant::FromWide(u"plain"), 0, "plain"},
        ValueCase{"ByteArray", Variant::FromBytes("Man", 5), 0, "TWFu"},
        ValueCase{"EmptyByteArray", Variant::FromBytes(""), 0, ""},
        ValueCase{"LongByteArrayOneLine", Variant::FromBytes(std::string(60, 'a')), 0, Repeat("YWFh", 20)}),
    [](const auto& info) { return info.param.name; });

TEST(ValueToXmlText, FailuresGiveTheErrorText) {
    EXPECT_EQ(ValueToXmlText(Variant::FromDateTime(1e300), 0), "*** ERROR !!! ***");
    EXPECT_EQ(ValueToXmlText(Variant::FromWide(u"x"), 12345), "*** ERROR !!! ***");
}

TEST(DateTimeToXmlText, DropsTheMilliseconds) {
    const double value = Platform::ComposeDateTime(Platform::EncodeDate(2024, 1, 5), Platform::EncodeTime(9, 3, 7, 900));
    EXPECT_EQ(DateTimeToXmlText(value), "2024-01-05T09:03:07");
    EXPECT_EQ(DateTimeToXmlText(0), "1899-12-30T00:00:00");
    EXPECT_EQ(DateTimeToXmlText(Platform::EncodeDate(1, 1, 1)), "0001-01-01T00:00:00");
}

struct DateTextCase {
    const char* name;
    std::string text;
    int year, month, day, hour, minute, second, millisecond;
};

class XmlTextToDateTimeCases : public ::testing::TestWithParam<DateTextCase> {};

TEST_P(XmlTextToDateTimeCases, ReadsTheFields) {
    const DateTextCase& c = GetParam();
    const double expected = Platform::ComposeDateTime(
        c.year == 0 ? 0 : Platform::EncodeDate(c.year, c.month, c.day),
        Platform::EncodeTime(c.hour, c.minute, c.second, c.millisecond));
    EXPECT_EQ(XmlTextToDateTime(c.text), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, XmlTextToDateTimeCases,
    ::testing::Values(DateTextCase{"DateOnly", "2024-05-06", 2024, 5, 6, 0, 0, 0, 0},
                      DateTextCase{"DateAndTime", "2024-05-06T10:20:30", 2024, 5, 6, 10, 20, 30, 0},
                      DateTextCase{"Milliseconds", "2024-05-06T10:20:30.123", 2024, 5, 6, 10, 20, 30, 123},
                      DateTextCase{"FractionIsWholeMilliseconds", "2024-05-06T10:20:30.5", 2024, 5, 6, 10, 20, 30, 5},
                      DateTextCase{"TimeOnly", "T10:20:30", 0, 0, 0, 10, 20, 30, 0},
                      DateTextCase{"BlankDropsTheTime", "2024-05-06 10:20:30", 2024, 5, 6, 0, 0, 0, 0},
                      DateTextCase{"Empty", "", 0, 0, 0, 0, 0, 0, 0},
                      DateTextCase{"MillisecondsThenZone", "2024-05-06T10:20:30.250-03", 2024, 5, 6, 10, 20, 30, 250},
                      DateTextCase{"ZoneSuffixIgnored", "2024-05-06T10:20:30Z", 2024, 5, 6, 10, 20, 30, 0},
                      DateTextCase{"BeforeTheEpoch", "1800-01-01T06:00:00", 1800, 1, 1, 6, 0, 0, 0},
                      DateTextCase{"LeadingZeros", "02024-005-006", 2024, 5, 6, 0, 0, 0, 0}),
    [](const auto& info) { return info.param.name; });

TEST(XmlTextToDateTime, RoundTripsTheWrittenForm) {
    for (const char* text : {"2024-01-05T09:03:07", "1899-12-30T12:00:00", "0001-01-01T00:00:00",
                             "9999-12-31T23:59:59", "1800-07-15T18:30:01"})
        EXPECT_EQ(DateTimeToXmlText(XmlTextToDateTime(text)), text);
}

struct BadDateText {
    const char* text;
    const char* message;
};

class XmlTextToDateTimeBad : public ::testing::TestWithParam<BadDateText> {};

TEST_P(XmlTextToDateTimeBad, FailsWithTheConversionError) {
    ExpectFailure<Platform::EConvertError>([] { XmlTextToDateTime(GetParam().text); }, GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, XmlTextToDateTimeBad,
    ::testing::Values(BadDateText{"10000-01-01", "Invalid argument to date encode"},
                      BadDateText{"2024-13-01", "Invalid argument to date encode"},
                      BadDateText{"2024-00-01", "Invalid argument to date encode"},
                      BadDateText{"2024-02-30", "Invalid argument to date encode"},
                      BadDateText{"2024-05", "Invalid argument to date encode"},
                      BadDateText{"2024-05-06T24:00:00", "Invalid argument to time encode"},
                      BadDateText{"T10:60:00", "Invalid argument to time encode"},
                      BadDateText{"T10:00:60", "Invalid argument to time encode"},
                      BadDateText{"T10:00:00.1000", "Invalid argument to time encode"},
                      BadDateText{"67560-01-01", "Invalid argument to date encode"},
                      BadDateText{"T65546:00:00", "Invalid argument to time encode"},
                      BadDateText{"2024-05-06T10:20:30.99999999999", "'99999999999' is not a valid integer value"},
                      BadDateText{"99999999999-01-01", "'99999999999' is not a valid integer value"}));

TEST(FloatToXmlText, WritesTheGeneralFormWithAPoint) {
    EXPECT_EQ(FloatToXmlText(0), "0");
    EXPECT_EQ(FloatToXmlText(1.5), "1.5");
    EXPECT_EQ(FloatToXmlText(100), "100");
    EXPECT_EQ(FloatToXmlText(0.000001), "1E-6");
    EXPECT_EQ(FloatToXmlText(-123456789012.25), "-123456789012.25");
}

TEST(XmlTextToFloat, ReadsAPointOrAComma) {
    EXPECT_EQ(XmlTextToFloat("1.5"), 1.5);
    EXPECT_EQ(XmlTextToFloat("1,5"), 1.5);
    EXPECT_EQ(XmlTextToFloat("-2,25E2"), -225);
    EXPECT_EQ(XmlTextToFloat("1E-6"), 0.000001);
    for (const double value : {0.1, 2.0 / 3, 1e-300, 123456.789})
        EXPECT_EQ(XmlTextToFloat(FloatToXmlText(value)), std::stod(FloatToXmlText(value)));
}

TEST(XmlTextToFloat, RejectsWhatIsNoNumber) {
    for (const char* text : {"1,234.5", "1,2,3", "", "abc", "1.5x", "1..5"})
        ExpectFailure<Platform::EConvertError>([&] { XmlTextToFloat(text); },
                                               std::string("'") + text + "' is not a valid floating point value");
}

struct HexCase {
    std::int32_t value;
    int digits;
    const char* text;
};

class HexTextCases : public ::testing::TestWithParam<HexCase> {};

TEST_P(HexTextCases, WritesAndReadsBack) {
    EXPECT_EQ(Int32ToXmlHex(GetParam().value, GetParam().digits), GetParam().text);
    EXPECT_EQ(XmlHexToInt32(Variant::FromString(GetParam().text)), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Values, HexTextCases,
                         ::testing::Values(HexCase{255, 4, "00FF"}, HexCase{255, 1, "FF"}, HexCase{0, 0, "0"},
                                           HexCase{0, 3, "000"}, HexCase{-1, 2, "FFFFFFFF"},
                                           HexCase{INT32_MIN, 0, "80000000"}, HexCase{0xABC, 33, "ABC"},
                                           HexCase{0xABC, -4, "ABC"},
                                           HexCase{1, 32, "00000000000000000000000000000001"}));

TEST(XmlHexToInt32, AcceptsEitherLetterCase) {
    EXPECT_EQ(XmlHexToInt32(Variant::FromString("ff")), 255);
    EXPECT_EQ(XmlHexToInt32(Variant::FromWide(u"1a")), 26);
}

TEST(XmlHexToInt32, RejectsEverythingButHexadecimalDigits) {
    for (const char* text : {"", "0x10", "$10", "-1", " FF", "FF ", "G1", "100000000"})
        ExpectFailure<Platform::EConvertError>([&] { XmlHexToInt32(Variant::FromString(text)); },
                                               std::string("'$") + text + "' is not a valid integer value");
}

TEST(XmlHexToInt32, NumbersAndNullCannotBeJoinedToTheDollar) {
    ExpectFailure<Platform::EVariantTypeCastError>(
        [] { XmlHexToInt32(Variant::FromInt32(255)); }, "Could not convert variant of type (String) into type (Double)");
    ExpectFailure<Platform::EVariantTypeCastError>(
        [] { XmlHexToInt32(Variant::Null()); }, "Could not convert variant of type (Null) into type (String)");
}

}  // namespace
}  // namespace TolvexXml
