// Code pages and the case-insensitive comparison of the platform.
#include <gtest/gtest.h>

#include <string>

#include "base/Exception.h"
#include "platform/CodePage.h"
#include "platform/LocaleCompare.h"

namespace Platform {
namespace {

// "Привет" in UTF-16, code page 1251, code page 866 and UTF-8.
const std::u16string PrivetWide = u"\u041F\u0440\u0438\u0432\u0435\u0442";
const std::string Privet1251 = "\xCF\xF0\xE8\xE2\xE5\xF2";
const std::string Privet866 = "\x8F\xE0\xA8\xA2\xA5\xE2";
const std::string PrivetUtf8 = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82";

struct CodePageCase {
    const char* name;
    unsigned codePage;
    std::string bytes;
};

class CodePageRoundTrip : public ::testing::TestWithParam<CodePageCase> {};

TEST_P(CodePageRoundTrip, ConvertsBothWays) {
    EXPECT_EQ(MultiByteToWide(GetParam().codePage, GetParam().bytes), PrivetWide);
    EXPECT_EQ(WideToMultiByte(GetParam().codePage, PrivetWide), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(CodePages, CodePageRoundTrip,
                         ::testing::Values(CodePageCase{"Cp1251", 1251, Privet1251},
                                           CodePageCase{"Cp866", 866, Privet866},
                                           CodePageCase{"Utf8", CodePageUtf8, PrivetUtf8}),
                         [](const auto& info) { return info.param.name; });

TEST(CodePage, AnsiCodePageFollowsTheSystem) {
    const unsigned ansi = AnsiCodePage();
    EXPECT_NE(ansi, 0u);
    EXPECT_EQ(WideToMultiByte(CodePageAnsi, u"plain"), "plain");
    EXPECT_EQ(MultiByteToWide(CodePageAnsi, "plain"), u"plain");
    EXPECT_EQ(WideToMultiByte(CodePageAnsi, PrivetWide), WideToMultiByte(ansi, PrivetWide));
}

TEST(CodePage, EmptyTextsStayEmpty) {
    EXPECT_EQ(MultiByteToWide(1251, ""), u"");
    EXPECT_EQ(WideToMultiByte(1251, u""), "");
}

TEST(CodePage, CharactersTheCodePageLacksBecomeQuestionMarks) {
    EXPECT_EQ(WideToMultiByte(1251, u"a\u4E2Db"), "a?b");
}

// As on Windows, the bytes a single-byte code page leaves undefined map to the
// code units of the same number and back, so that every byte survives a round
// trip (the wide-string option of the binary XML form relies on it).
TEST(CodePage, UndefinedBytesOfTheAnsiCodePageSurviveARoundTrip) {
    std::string allBytes;
    for (int byte = 1; byte < 256; ++byte) allBytes += static_cast<char>(byte);
    for (const unsigned codePage : {CodePageAnsi, 1251u, 1252u})
        EXPECT_EQ(WideToMultiByte(codePage, MultiByteToWide(codePage, allBytes)), allBytes) << codePage;
    EXPECT_EQ(MultiByteToWide(1251, "\x98"), u"\u0098");
    EXPECT_EQ(WideToMultiByte(1251, u"\u0098\u0080"), "\x98?");  // U+0080 is no byte of 1251 (0x80 is U+0402)
}

TEST(CodePage, InvalidUtf8BecomesReplacementCharacters) {
    const std::u16string wide = MultiByteToWide(CodePageUtf8, "a\xFF" "b");
    ASSERT_EQ(wide.size(), 3u);
    EXPECT_EQ(wide[0], u'a');
    EXPECT_EQ(wide[1], u'\uFFFD');
    EXPECT_EQ(wide[2], u'b');
}

TEST(CodePage, UnknownCodePageFails) {
    EXPECT_THROW(MultiByteToWide(12345, "a"), EConvertError);
    EXPECT_THROW(WideToMultiByte(12345, u"a"), EConvertError);
}

TEST(SameTextIgnoringCase, ComparesAsciiWithoutCase) {
    EXPECT_TRUE(SameTextIgnoringCase("Cash", "cASH"));
    EXPECT_TRUE(SameTextIgnoringCase("", ""));
    EXPECT_FALSE(SameTextIgnoringCase("Cash", "Card"));
    EXPECT_FALSE(SameTextIgnoringCase("Cash", "Cash "));
}

TEST(SameTextIgnoringCase, ComparesCyrillicLettersWithoutCase) {
    if (AnsiCodePage() != 1251) GTEST_SKIP() << "the ANSI code page has no Cyrillic letters";
    EXPECT_TRUE(SameTextIgnoringCase(Privet1251, "\xEF\xF0\xC8\xC2\xE5\xD2"));  // пРИВеТ
    EXPECT_TRUE(SameTextIgnoringCase("\xA8", "\xB8"));                          // Ё ё
    EXPECT_FALSE(SameTextIgnoringCase(Privet1251, "\xEF\xF0\xE8\xE2\xE5\xF0"));
}

}  // namespace
}  // namespace Platform
