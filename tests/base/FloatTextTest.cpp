// The general number format and the reading of numbers.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "base/FloatText.h"

namespace Platform {
namespace {

struct FormatCase {
    double value;
    int precision;
    const char* expected;
};

class FormatFloatGeneralCases : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatFloatGeneralCases, WritesTheGeneralForm) {
    EXPECT_EQ(FormatFloatGeneral(GetParam().value, GetParam().precision, '.'), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, FormatFloatGeneralCases,
    ::testing::Values(FormatCase{0, 15, "0"}, FormatCase{1.5, 15, "1.5"}, FormatCase{100, 15, "100"},
                      FormatCase{0.000001, 15, "1E-6"}, FormatCase{0.00001, 15, "0.00001"},
                      FormatCase{-2.25, 15, "-2.25"}, FormatCase{0.1, 15, "0.1"},
                      FormatCase{static_cast<double>(0.1f), 15, "0.100000001490116"},
                      FormatCase{static_cast<double>(0.1f), 7, "0.1"}, FormatCase{1e15, 15, "1E15"},
                      FormatCase{999999999999999, 15, "999999999999999"}, FormatCase{1.5e20, 15, "1.5E20"},
                      FormatCase{-1.25e-7, 15, "-1.25E-7"}, FormatCase{1234.5678, 15, "1234.5678"},
                      FormatCase{2.0 / 3, 15, "0.666666666666667"}, FormatCase{1e300, 15, "1E300"},
                      FormatCase{std::numeric_limits<double>::infinity(), 15, "INF"},
                      FormatCase{-std::numeric_limits<double>::infinity(), 15, "-INF"},
                      FormatCase{std::numeric_limits<double>::quiet_NaN(), 15, "NAN"}));

TEST(FormatFloatGeneral, UsesTheGivenSeparator) { EXPECT_EQ(FormatFloatGeneral(1.5, 15, ','), "1,5"); }

struct ParseCase {
    const char* text;
    double expected;
};

class ParseFloatValid : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseFloatValid, ReadsTheNumber) {
    const std::optional<double> value = ParseFloat(GetParam().text, '.');
    ASSERT_TRUE(value.has_value()) << GetParam().text;
    EXPECT_DOUBLE_EQ(*value, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Texts, ParseFloatValid,
                         ::testing::Values(ParseCase{"0", 0}, ParseCase{"1.5", 1.5}, ParseCase{"-1.5", -1.5},
                                           ParseCase{"+2", 2}, ParseCase{".5", 0.5}, ParseCase{"5.", 5},
                                           ParseCase{"1e3", 1000}, ParseCase{"1E-6", 1e-6},
                                           ParseCase{"2.5e+2", 250}, ParseCase{" 7 ", 7},
                                           ParseCase{"1e-400", 0}, ParseCase{"-0", 0}));

TEST(ParseFloat, RejectsWhatIsNoNumber) {
    for (const char* text : {"", " ", "-", ".", "e5", "1e", "1e+", "1.5.2", "1,5", "abc", "1 2", "0x10", "INF",
                             "NAN", "1e400", "--1", "\t1"})
        EXPECT_FALSE(ParseFloat(text, '.').has_value()) << text;
}

TEST(ParseFloat, UsesTheGivenSeparator) {
    EXPECT_EQ(ParseFloat("1,5", ','), 1.5);
    EXPECT_FALSE(ParseFloat("1.5", ',').has_value());
}

}  // namespace
}  // namespace Platform
