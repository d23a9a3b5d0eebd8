// Boolean text: the words, the numbers and the texts that are no Boolean.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>

#include "base/BoolText.h"
#include "platform/LocaleSettings.h"

namespace Platform {
namespace {

struct BoolCase {
    const char* text;
    bool expected;
};

class BoolFromTextValid : public ::testing::TestWithParam<BoolCase> {};

TEST_P(BoolFromTextValid, ReadsTheBoolean) {
    const std::optional<bool> value = BoolFromText(GetParam().text);
    ASSERT_TRUE(value.has_value()) << GetParam().text;
    EXPECT_EQ(*value, GetParam().expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Texts, BoolFromTextValid,
                         ::testing::Values(BoolCase{"True", true}, BoolCase{"False", false}, BoolCase{"true", true},
                                           BoolCase{"FALSE", false}, BoolCase{"tRuE", true},
                                           BoolCase{"#TRUE#", true}, BoolCase{"#FALSE#", false},
                                           BoolCase{"1", true}, BoolCase{"0", false}, BoolCase{"-1", true},
                                           BoolCase{"42", true}));

TEST(BoolFromText, ReadsNumbersInTheFormOfTheRegionalSettings) {
    const char separator = ReadLocaleSettings().decimalSeparator;
    for (const auto& [text, expected] : {std::pair{std::string("0") + separator + "0", false},
                                         std::pair{std::string("0") + separator + "5", true}}) {
        const std::optional<bool> value = BoolFromText(text);
        ASSERT_TRUE(value.has_value()) << text;
        EXPECT_EQ(*value, expected) << text;
    }
}

TEST(BoolFromText, ReportsTextsThatAreNoBoolean) {
    for (const char* text : {"", "yes", "no", "Truth", "T", "#TRUE", "1x"})
        EXPECT_FALSE(BoolFromText(text).has_value()) << text;
}

}  // namespace
}  // namespace Platform
