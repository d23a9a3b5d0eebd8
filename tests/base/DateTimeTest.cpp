// Encoding and decoding of dates and times as day counts.
#include <gtest/gtest.h>

#include "base/DateTime.h"
#include "base/Exception.h"
#include "support/ExpectFailure.h"

namespace Platform {
namespace {

struct DateCase {
    int year, month, day;
    double days;
};

class EncodeDateKnown : public ::testing::TestWithParam<DateCase> {};

TEST_P(EncodeDateKnown, CountsDaysFrom18991230AndDecodesBack) {
    const DateCase& c = GetParam();
    EXPECT_EQ(EncodeDate(c.year, c.month, c.day), c.days);
    const DateParts parts = DecodeDate(c.days);
    EXPECT_EQ(parts.year, c.year);
    EXPECT_EQ(parts.month, c.month);
    EXPECT_EQ(parts.day, c.day);
}

INSTANTIATE_TEST_SUITE_P(Dates, EncodeDateKnown,
                         ::testing::Values(DateCase{1899, 12, 30, 0}, DateCase{1899, 12, 29, -1},
                                           DateCase{1900, 1, 1, 2}, DateCase{1900, 3, 1, 61},
                                           DateCase{2000, 2, 29, 36585}, DateCase{2024, 1, 5, 45296},
                                           DateCase{1, 1, 1, -693593}, DateCase{9999, 12, 31, 2958465},
                                           DateCase{1600, 12, 31, -109206}));

struct BadDate {
    int year, month, day;
};

class EncodeDateInvalid : public ::testing::TestWithParam<BadDate> {};

TEST_P(EncodeDateInvalid, FailsWithTheDateMessage) {
    const BadDate& c = GetParam();
    ExpectFailure<EConvertError>([&] { EncodeDate(c.year, c.month, c.day); }, "Invalid argument to date encode");
}

INSTANTIATE_TEST_SUITE_P(Dates, EncodeDateInvalid,
                         ::testing::Values(BadDate{0, 1, 1}, BadDate{10000, 1, 1}, BadDate{2024, 0, 1},
                                           BadDate{2024, 13, 1}, BadDate{2024, 1, 0}, BadDate{2024, 4, 31},
                                           BadDate{2023, 2, 29}, BadDate{1900, 2, 29}, BadDate{-1, 1, 1}));

TEST(EncodeTime, GivesTheDayFraction) {
    EXPECT_EQ(EncodeTime(12, 0, 0, 0), 0.5);
    EXPECT_EQ(EncodeTime(0, 0, 0, 0), 0.0);
    EXPECT_DOUBLE_EQ(EncodeTime(23, 59, 59, 999), 86399999.0 / 86400000);
}

TEST(EncodeTime, RejectsFieldsOutOfRange) {
    const int bad[][4] = {{24, 0, 0, 0}, {0, 60, 0, 0}, {0, 0, 60, 0}, {0, 0, 0, 1000}, {-1, 0, 0, 0}};
    for (const auto& t : bad)
        ExpectFailure<EConvertError>([&] { EncodeTime(t[0], t[1], t[2], t[3]); }, "Invalid argument to time encode");
}

TEST(DecodeTime, RoundsToWholeMilliseconds) {
    const TimeParts parts = DecodeTime(EncodeTime(9, 3, 7, 900) + 0.4 / 86400000);
    EXPECT_EQ(parts.hour, 9);
    EXPECT_EQ(parts.minute, 3);
    EXPECT_EQ(parts.second, 7);
    EXPECT_EQ(parts.millisecond, 900);
    // Just below midnight rounds into the next day.
    const double almostNextDay = 1 - 0.1 / 86400000;
    EXPECT_EQ(DecodeDate(almostNextDay).day, 31);
    EXPECT_EQ(DecodeTime(almostNextDay).hour, 0);
}

TEST(ComposeDateTime, KeepsTheTimeOfDayForDaysBefore18991230) {
    const double value = ComposeDateTime(EncodeDate(1800, 1, 1), EncodeTime(6, 0, 0, 0));
    const DateParts date = DecodeDate(value);
    const TimeParts time = DecodeTime(value);
    EXPECT_EQ(date.year, 1800);
    EXPECT_EQ(date.month, 1);
    EXPECT_EQ(date.day, 1);
    EXPECT_EQ(time.hour, 6);
    EXPECT_EQ(ComposeDateTime(1, 0.25), 1.25);
}

TEST(DecodeDate, RejectsValuesOutsideTheCalendar) {
    for (const double value : {2958466.0, -693594.0, 1e300, -1e300})
        EXPECT_THROW(DecodeDate(value), EConvertError) << value;
    EXPECT_THROW(DecodeDate(std::numeric_limits<double>::quiet_NaN()), EConvertError);
    EXPECT_THROW(DecodeTime(std::numeric_limits<double>::infinity()), EConvertError);
}

}  // namespace
}  // namespace Platform
