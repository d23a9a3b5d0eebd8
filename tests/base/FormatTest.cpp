// Printf-style formatting into a string, on both sides of the stack buffer's size.
#include <gtest/gtest.h>

#include <cinttypes>
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/Format.h"

namespace {

struct FormatCase {
    const char* name;
    std::size_t width;  // the padded field's width
};

class FormatWidthTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatWidthTest, KeepsEveryByte) {
    const int width = static_cast<int>(GetParam().width);
    const std::string text = Platform::Format("%*d|%s", width, 42, "end");
    const std::string expected = std::string(GetParam().width - 2, ' ') + "42|end";
    EXPECT_EQ(text, expected);
    EXPECT_EQ(text.size(), GetParam().width + 4);
}

INSTANTIATE_TEST_SUITE_P(Widths, FormatWidthTest,
                         ::testing::Values(FormatCase{"Short", 2}, FormatCase{"OneBelowTheBuffer", 251},
                                           FormatCase{"FillsTheBuffer", 252}, FormatCase{"OnePast", 253},
                                           FormatCase{"Long", 5000}),
                         [](const auto& info) { return info.param.name; });

TEST(FormatTest, EmptyResultAndArgumentsOfEveryKind) {
    EXPECT_EQ(Platform::Format("%s", ""), "");
    EXPECT_EQ(Platform::Format("%s=%" PRId64 ", %u%%, %c", "x", std::int64_t{-9000000000}, 7u, 'z'),
              "x=-9000000000, 7%, z");
}

}  // namespace
