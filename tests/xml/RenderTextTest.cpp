// Escaping of text and attribute values, and the splitting of CDATA texts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "xml/XmlRenderText.h"

namespace TolvexXml {
namespace {

struct EscapeCase {
    const char* name;
    std::string input;
    std::string expected;
};

class EscapeXmlTextTest : public ::testing::TestWithParam<EscapeCase> {};

TEST_P(EscapeXmlTextTest, WritesTheEscapedForm) {
    EXPECT_EQ(EscapeXmlText(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, EscapeXmlTextTest,
    ::testing::Values(
        EscapeCase{"Empty", "", ""},
        EscapeCase{"PlainText", "Plain text 123", "Plain text 123"},
        EscapeCase{"LessThan", "a<b", "a&lt;b"},
        EscapeCase{"GreaterThan", "a>b", "a&gt;b"},
        EscapeCase{"Ampersand", "a&b", "a&amp;b"},
        EscapeCase{"DoubleQuote", "say \"hi\"", "say &quot;hi&quot;"},
        EscapeCase{"ApostropheStays", "it's", "it's"},
        EscapeCase{"Tab", "a\tb", "a&#9;b"},
        EscapeCase{"CrLf", "a\r\nb", "a&#13;&#10;b"},
        EscapeCase{"NulByte", std::string("a\0b", 3), "a&#0;b"},
        EscapeCase{"UnitSeparator", "\x1f", "&#31;"},
        EscapeCase{"SpaceStays", " ", " "},
        EscapeCase{"DeleteStays", "\x7f", "\x7f"},
        EscapeCase{"HighBytesStay", "\xcf\xf0\xe8\xe2\xe5\xf2\xff\x80", "\xcf\xf0\xe8\xe2\xe5\xf2\xff\x80"},
        EscapeCase{"EveryKindInARow", "<>&\"\x01'", "&lt;&gt;&amp;&quot;&#1;'"},
        EscapeCase{"AlreadyEscapedIsEscapedAgain", "&lt;", "&amp;lt;"}),
    [](const ::testing::TestParamInfo<EscapeCase>& info) { return info.param.name; });

TEST(EscapeXmlText, WritesEveryControlByteAsDecimalReferenceWithoutLeadingZeros) {
    for (int byte = 0; byte < 32; ++byte) {
        const std::string input(1, static_cast<char>(byte));
        EXPECT_EQ(EscapeXmlText(input), "&#" + std::to_string(byte) + ";") << "byte " << byte;
    }
}

TEST(EscapeXmlText, HandsBackTheInputStringWhenNothingNeedsEscaping) {
    std::string text(200, 'x');
    const char* storage = text.data();
    const std::string result = EscapeXmlText(std::move(text));
    EXPECT_EQ(result.data(), storage);
    EXPECT_EQ(result, std::string(200, 'x'));
}

TEST(EscapeXmlText, SizesItsResultExactly) {
    std::string text;
    for (int i = 0; i < 50; ++i) text += "a<\r\n\"";
    const std::string result = EscapeXmlText(text);
    EXPECT_EQ(result.size(), 50u * (1 + 4 + 5 + 5 + 6));
    EXPECT_EQ(result.capacity(), result.size());
}

std::vector<std::string> CDataPieces(std::string_view text) {
    std::vector<std::string> pieces;
    ForEachCDataPiece(text, [&](std::string_view piece) { pieces.emplace_back(piece); });
    return pieces;
}

TEST(ForEachCDataPiece, KeepsATextWithoutTerminatorWhole) {
    EXPECT_EQ(CDataPieces("a]b]>c]]"), (std::vector<std::string>{"a]b]>c]]"}));
    EXPECT_EQ(CDataPieces(""), (std::vector<std::string>{""}));
}

TEST(ForEachCDataPiece, SplitsAfterTheFirstBracketOfEachTerminator) {
    EXPECT_EQ(CDataPieces("a]]>b"), (std::vector<std::string>{"a]", "]>b"}));
    EXPECT_EQ(CDataPieces("]]>"), (std::vector<std::string>{"]", "]>"}));
    EXPECT_EQ(CDataPieces("x]]>"), (std::vector<std::string>{"x]", "]>"}));
    EXPECT_EQ(CDataPieces("]]]>"), (std::vector<std::string>{"]]", "]>"}));
    EXPECT_EQ(CDataPieces("1]]>2]]>3"), (std::vector<std::string>{"1]", "]>2]", "]>3"}));
}

TEST(ForEachCDataPiece, PiecesReadBackGiveTheTextAndHoldNoTerminator) {
    for (const std::string text : {"]]>]]>]]>", "a]]]]>>b", "]]>>]]>", "plain"}) {
        std::string joined;
        for (const std::string& piece : CDataPieces(text)) {
            EXPECT_EQ(piece.find("]]>"), std::string::npos) << text;
            joined += piece;
        }
        EXPECT_EQ(joined, text);
    }
}

}  // namespace
}  // namespace TolvexXml
