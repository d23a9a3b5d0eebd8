// Base64 text of byte blocks.
#include <gtest/gtest.h>

#include "support/ExpectFailure.h"
#include "xml/Base64.h"
#include "xml/XmlExceptions.h"

namespace TolvexXml {
namespace {

std::string Encode(const std::string& bytes, int maxLine) { return EncodeBase64(bytes.data(), bytes.size(), maxLine); }

struct EncodeCase {
    const char* name;
    std::string bytes;
    int maxLine;
    std::string expected;
};

class EncodeBase64Cases : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(EncodeBase64Cases, WritesTheText) { EXPECT_EQ(Encode(GetParam().bytes, GetParam().maxLine), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Blocks, EncodeBase64Cases,
    ::testing::Values(EncodeCase{"Man", "Man", 0, "TWFu"}, EncodeCase{"Ma", "Ma", 0, "TWE="},
                      EncodeCase{"M", "M", 0, "TQ=="}, EncodeCase{"Nothing", "", 0, ""},
                      EncodeCase{"NothingWithLines", "", 4, ""},
                      EncodeCase{"ManLineOfFour", "Man", 4, "TWFu\r\n"},
                      EncodeCase{"SixRoundsDownToFour", "ManMa", 6, "TWFu\r\nTWE=\r\n"},
                      EncodeCase{"BelowFourNoBreaks", "ManMan", 3, "TWFuTWFu"},
                      EncodeCase{"NegativeNoBreaks", "ManMan", -5, "TWFuTWFu"},
                      EncodeCase{"PartialLastLine", "ManManM", 8, "TWFuTWFu\r\nTQ=="},
                      EncodeCase{"AllBits", std::string("\xFB\xEF\xFF\x00", 4), 0, "++//AA=="}),
    [](const auto& info) { return info.param.name; });

TEST(EncodeBase64, BreaksAfterEvery76Characters) {
    const std::string text = Encode(std::string(120, 'x'), 76);  // 160 characters
    ASSERT_EQ(text.size(), 164u);
    EXPECT_EQ(text.substr(76, 2), "\r\n");
    EXPECT_EQ(text.substr(154, 2), "\r\n");
    EXPECT_EQ(text.find('\r', 157), std::string::npos);
}

struct DecodeCase {
    const char* name;
    std::string text;
    std::string expected;
};

class DecodeBase64Cases : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeBase64Cases, ReadsTheBytes) { EXPECT_EQ(DecodeBase64(GetParam().text), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Texts, DecodeBase64Cases,
    ::testing::Values(DecodeCase{"Man", "TWFu", "Man"}, DecodeCase{"WithBlank", "TW Fu", "Man"},
                      DecodeCase{"WithCrLf", "TWFu\r\n", "Man"}, DecodeCase{"ControlCharacters", "\tT\x01WF\x1fu ", "Man"},
                      DecodeCase{"OnePad", "TWE=", "Ma"}, DecodeCase{"TwoPads", "TQ==", "M"},
                      DecodeCase{"Empty", "", ""}, DecodeCase{"OnlyBlanks", " \r\n\t", ""},
                      DecodeCase{"PadInsideTheText", "TQ==TWFu", std::string("M**Man")},
                      DecodeCase{"AllBits", "++//AA==", std::string("\xFB\xEF\xFF\x00", 4)}),
    [](const auto& info) { return info.param.name; });

TEST(DecodeBase64, RoundTripsEveryByteValue) {
    std::string bytes;
    for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
    for (const size_t size : {0u, 1u, 2u, 3u, 100u, 256u})
        for (const int line : {0, 4, 76})
            EXPECT_EQ(DecodeBase64(Encode(bytes.substr(0, size), line)), bytes.substr(0, size)) << size << "/" << line;
}

class DecodeBase64Bad : public ::testing::TestWithParam<std::string> {};

TEST_P(DecodeBase64Bad, FailsWithBadFormat) {
    ExpectFailure<TolvexXmlException>([] { DecodeBase64(GetParam()); }, "Bad Base64 format");
}

INSTANTIATE_TEST_SUITE_P(Texts, DecodeBase64Bad,
                         ::testing::Values("TWE", "T", "TW", " T W E ", "T===", "====", "TWFuT", "TWFuTW",
                                           "TW-u", "TWF*", "\x80WFu", "=WFu", "TQ======", "TWFu\x7f"));

}  // namespace
}  // namespace TolvexXml
