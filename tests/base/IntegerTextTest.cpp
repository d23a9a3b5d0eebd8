// The integer text rule in its 64-bit and 32-bit forms.
#include <gtest/gtest.h>

#include "base/Exception.h"
#include "base/IntegerText.h"
#include "support/ExpectFailure.h"

namespace Platform {
namespace {

struct IntegerCase {
    const char* name;
    const char* text;
    std::int64_t expected;
};

class StrToInt64Valid : public ::testing::TestWithParam<IntegerCase> {};

TEST_P(StrToInt64Valid, ReadsTheValue) { EXPECT_EQ(StrToInt64(GetParam().text), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Forms, StrToInt64Valid,
    ::testing::Values(IntegerCase{"Zero", "0", 0}, IntegerCase{"Decimal", "1234", 1234},
                      IntegerCase{"LeadingZeros", "000042", 42}, IntegerCase{"Plus", "+7", 7},
                      IntegerCase{"Minus", "-7", -7}, IntegerCase{"LeadingBlanks", "   15", 15},
                      IntegerCase{"BlanksBeforeSign", "  -15", -15}, IntegerCase{"Dollar", "$ff", 255},
                      IntegerCase{"DollarUpper", "$FF", 255}, IntegerCase{"SmallX", "x1F", 31},
                      IntegerCase{"CapitalX", "X1f", 31}, IntegerCase{"ZeroX", "0x10", 16},
                      IntegerCase{"ZeroCapitalX", "0X10", 16}, IntegerCase{"NegativeHex", "-$10", -16},
                      IntegerCase{"Max", "9223372036854775807", INT64_MAX},
                      IntegerCase{"Min", "-9223372036854775808", INT64_MIN},
                      IntegerCase{"HexAllBits", "$FFFFFFFFFFFFFFFF", -1},
                      IntegerCase{"HexSignBit", "$8000000000000000", INT64_MIN},
                      IntegerCase{"CardCode", "1234567890123", 1234567890123}),
    [](const auto& info) { return info.param.name; });

class StrToInt64Invalid : public ::testing::TestWithParam<const char*> {};

TEST_P(StrToInt64Invalid, FailsWithTheText) {
    const std::string text = GetParam();
    ExpectFailure<EConvertError>([&] { StrToInt64(text); }, "'" + text + "' is not a valid integer value");
}

INSTANTIATE_TEST_SUITE_P(Forms, StrToInt64Invalid,
                         ::testing::Values("", " ", "-", "+", "$", "0x", "x", "1 ", "1a", "12.5", "1e3", "--1",
                                           "+-1", "$g", "0x-1", "\t1", "9223372036854775808",
                                           "-9223372036854775809", "$10000000000000000", "99999999999999999999"));

struct Int32Case {
    const char* name;
    const char* text;
    std::int32_t expected;
};

class StrToInt32Valid : public ::testing::TestWithParam<Int32Case> {};

TEST_P(StrToInt32Valid, ReadsTheValue) { EXPECT_EQ(StrToInt32(GetParam().text), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(Forms, StrToInt32Valid,
                         ::testing::Values(Int32Case{"Max", "2147483647", INT32_MAX},
                                           Int32Case{"Min", "-2147483648", INT32_MIN},
                                           Int32Case{"HexFF", "$00FF", 255},
                                           Int32Case{"HexAllBits", "$FFFFFFFF", -1},
                                           Int32Case{"HexSignBit", "$80000000", INT32_MIN}),
                         [](const auto& info) { return info.param.name; });

TEST(StrToInt32, RejectsValuesBeyond32Bits) {
    for (const char* text : {"2147483648", "-2147483649", "$100000000", "4294967295"})
        ExpectFailure<EConvertError>([&] { StrToInt32(text); },
                                     std::string("'") + text + "' is not a valid integer value");
}

}  // namespace
}  // namespace Platform
