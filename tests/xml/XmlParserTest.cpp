// The parser, table-driven: each input is parsed from a string and from streams
// read through buffers of several sizes (so every construct also meets a buffer
// boundary), and must give the same tree and the same failure every time.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/Stream.h"
#include "support/XmlTreeDump.h"
#include "xml/TolvexXml.h"
#include "xml/XmlParser.h"
#include "xml/XmlSource.h"

namespace {

using namespace std::string_literals;
using namespace TolvexXml;
using TolvexXmlTest::DumpChildren;

struct ParseCase {
    const char* name;
    std::string input;
    std::string tree;   // the document's children after the load (kept on failure too)
    std::string error;  // the TolvexXmlException message; empty when the load succeeds
    bool preserveWhiteSpace = false;
};

std::ostream& operator<<(std::ostream& out, const ParseCase& c) { return out << c.name; }

struct ParseResult {
    std::string tree;
    std::string error;
};

IXmlDocument NewDocument(bool preserveWhiteSpace) {
    IXmlDocument document(new TXmlDocument(GlobalNameTable()));
    document->PreserveWhiteSpace = preserveWhiteSpace;
    return document;
}

ParseResult Outcome(TXmlDocument& document, const std::function<void()>& load) {
    ParseResult result;
    try {
        load();
    } catch (const TolvexXmlException& failure) {
        result.error = failure.what();
    }
    result.tree = DumpChildren(document);
    return result;
}

ParseResult LoadFromString(const ParseCase& c) {
    IXmlDocument document = NewDocument(c.preserveWhiteSpace);
    return Outcome(*document, [&] { document->LoadXML(c.input); });
}

ParseResult ParseFromStream(const ParseCase& c, std::int32_t bufSize) {
    IXmlDocument document = NewDocument(c.preserveWhiteSpace);
    Platform::TMemoryStream stream(c.input);
    return Outcome(*document, [&] {
        TXmlStmSource source(stream, bufSize);
        document->GetChildList()->ParseChildren(source, document->NameTable(), c.preserveWhiteSpace, document->NewLoadRegion());
    });
}

const std::string nameStart = "Name must start with letter or \"_\"";

const std::vector<ParseCase> parseCases = {
    {"Empty", "", "", ""},
    {"BlanksOnly", " \t\r\n \x01", "", ""},
    {"TopLevelTextAndElements", "abc<a/><b/>", "\"abc\", a, b", ""},
    {"TextNotTrimmed", "<a> x </a>", "a(\" x \")", ""},
    {"BlankTextDropped", "<a> </a>", "a", ""},
    {"BlankTextKeptWhenPreserving", "<a> </a>", "\"\", a(\" \")", "", true},
    {"EmptyTextAroundMarkupWhenPreserving", "<a><b/></a>", "\"\", a(\"\", b, \"\")", "", true},
    {"LeadingBlanksOfTextKept", "<a>  x</a><b>\r\n &amp;</b>", "a(\"  x\"), b(\"\r\n &\")", ""},
    {"LongTextWithReferencePast16Bytes", "<a>0123456789abcdefghij&lt;k</a>", "a(\"0123456789abcdefghij<k\")", ""},
    {"LongBlankRunBeforeTag", "<a>                                   <b/></a>", "a(b)", ""},
    {"MixedContent", "<a>text<b>more</b>tail</a>", "a(\"text\", b(\"more\"), \"tail\")", ""},
    {"DigitStartsName", "<1a/>", "1a", ""},
    {"NameCharacters", "<a:b.c-d_e/>", "a:b.c-d_e", ""},
    {"AmpersandInName", "<a&b/>", "a&b", ""},
    {"BlankBeforeName", "< a/>", "", nameStart},
    {"InputEndsAfterName", "<a", "", "Не завершено определение элемента"},
    {"BadCharacterAfterName", "<a=1>", "", "Некорретный символ в имени элемента"},
    {"UnclosedElement", "<a>", "a", "Character / expected"},
    {"UnclosedNested", "<r><a x='1'><b/>oops</a><c", "r(a[x=1](b, \"oops\"))", "Не завершено определение элемента"},
    {"WrongEndTag", "<a></b>", "a", "\"a\" expected"},
    {"LongerEndTag", "<a></ab>", "a", "Character > expected"},
    {"BlanksInEndTag", "<a></a \t\r\n>", "a", ""},
    {"BadEmptyElementEnd", "<a b='1'/ >", "a[b=1]", "\"/>\" expected"},
    {"InputEndsInEmptyElementEnd", "<a/", "a", "\"/>\" expected"},
    {"InputEndsInStartTag", "<a b='1'", "a[b=1]", "Character > expected"},
    {"AttributeWithoutValue", "<a b>", "a", "Character = expected"},
    {"UnquotedValue", "<a b=1>", "a", "String constant expected"},
    {"InputEndsAfterEquals", "<a b= ", "a", "Attribute value expected"},
    {"InputEndsInValue", "<a b='1", "a", "Character \"'\" expected"},
    {"InputEndsInDoubleQuotedValue", "<a b=\"1", "a", "Character \"\"\" expected"},
    {"AttributesWithoutBlank", "<a b='1'c='2'/>", "a[b=1;c=2]", ""},
    {"BlanksAroundEquals", "<a  b = \"1\"  c\n=\n'2'  />", "a[b=1;c=2]", ""},
    {"RepeatedAttributeReplaces", "<a b='1' c='3' b='2'/>", "a[b=2;c=3]", ""},
    {"RepeatedAttributeKeepsFirstPlace", "<a c='1' b='2' c='3' c='4'/>", "a[c=4;b=2]", ""},
    {"SameNameOnNestedAndSiblingElements", "<a b='1'><c b='2' d='3'/><c d='4' b='5' d='6'/></a>",
     "a[b=1](c[b=2;d=3], c[d=6;b=5])", ""},
    {"SameNameWithOtherAttributeCounts",
     "<r><a x='1' y='2' z='3'/><a x='4'/><a x='5' y='6' z='7' w='8' v='9' u='0'/><a/><a y='1' x='2'/></r>",
     "r(a[x=1;y=2;z=3], a[x=4], a[x=5;y=6;z=7;w=8;v=9;u=0], a, a[y=1;x=2])", ""},
    {"NameLongerThanTheOneBeforeInItsPlace", "<r><a bc='1' d='2'/><a bcd='3' d&e='4' bc='5' d='6'/></r>",
     "r(a[bc=1;d=2], a[bcd=3;d&e=4;bc=5;d=6])", ""},
    // A node's attributes are first read as the names of the last node of the same
    // name, in their places; every departure from that takes the general reading.
    {"SameNamesThenARepeat", "<r><a x='1' y='2'/><a x='3' x='4' y='5'/></r>", "r(a[x=1;y=2], a[x=4;y=5])", ""},
    {"SameNamesThenTheFirstAgain", "<r><a x='1' y='2'/><a x='3' y='4' x='5'/></r>", "r(a[x=1;y=2], a[x=5;y=4])",
     ""},
    {"SameNamesThenANewOneThenARepeat", "<r><a x='1'/><a x='2' y='3' x='4'/></r>", "r(a[x=1], a[x=4;y=3])", ""},
    {"SameNameWithBlanksAroundEquals", "<r><a x='1'/><a x = \"2\"/></r>", "r(a[x=1], a[x=2])", ""},
    {"SameNameAsPrefixOfALongerName", "<r><a x='1'/><a xy='2' x='3'/></r>", "r(a[x=1], a[xy=2;x=3])", ""},
    {"SameNameValueWithAReference", "<r><a x='1' y='2'/><a x='&lt;3' y='4'/></r>", "r(a[x=1;y=2], a[x=<3;y=4])",
     ""},
    {"SameNameValueWithEveryReferenceKind", "<r><a x='1'/><a x='&amp;&#65;&#x42;c&gt;&quot;'/></r>",
     "r(a[x=1], a[x=&ABc>\"])", ""},
    {"SameNameValueWithAnUnknownReferenceAfterAKnownOne", "<r><a x='1'/><a x='&lt;&nbsp;'/></r>", "r(a[x=1], a)",
     "Bad special symbol name: \"nbsp\""},
    {"SameNameValueWithAReferenceWithoutSemicolon", "<r><a x='1' y='2'/><a x='&lt;' y='&#65 '/></r>",
     "r(a[x=1;y=2], a[x=<])", "Character ; expected"},
    {"SameNameValueWithLessThan", "<r><a x='1'/><a x='<'/></r>", "r(a[x=1], a)",
     "Character \"<\" can not be used in attribute values"},
    {"SameNameWithoutValue", "<r><a x='1'/><a x/></r>", "r(a[x=1], a)", "Character = expected"},
    {"SameNameInputEndsInValue", "<r><a x='1'/><a x='2", "r(a[x=1], a)", "Character \"'\" expected"},
    {"EmptyValues", "<r><a x='' y=\"\"/><a x='' y=''/></r>", "r(a[x=;y=], a[x=;y=])", ""},
    {"ValueLongerThanABlockPiece", "<r><a x='" + std::string(3000, 'v') + "'/><a x='" + std::string(1025, 'w') + "'/></r>",
     "r(a[x=" + std::string(3000, 'v') + "], a[x=" + std::string(1025, 'w') + "])", ""},
    {"ManyAttributes",
     [] {
         std::string text = "<r>";
         for (int node = 0; node < 2; ++node) {
             text += "<a";
             for (int i = 0; i < 40; ++i) text += " n" + std::to_string(i) + "='" + std::to_string(node * 100 + i) + "'";
             text += "/>";
         }
         return text + "</r>";
     }(),
     [] {
         std::string tree = "r(";
         for (int node = 0; node < 2; ++node) {
             tree += node == 0 ? "a[" : ", a[";
             for (int i = 0; i < 40; ++i)
                 tree += (i == 0 ? "n" : ";n") + std::to_string(i) + "=" + std::to_string(node * 100 + i);
             tree += "]";
         }
         return tree + ")";
     }(),
     ""},
    {"LongValueStopsAtEachPosition",
     "<a b='0123456789abcdef' c='0123456789abcdefg' d='0123456789abcdefghijklmnopqrstu\"v'/>",
     "a[b=0123456789abcdef;c=0123456789abcdefg;d=0123456789abcdefghijklmnopqrstu\"v]", ""},
    {"LongValueWithReferencePast16Bytes", "<a b='0123456789abcdefgh&amp;i'/>", "a[b=0123456789abcdefgh&i]", ""},
    {"LongValueWithLessThanPast16Bytes", "<a b='0123456789abcdefgh<'/>", "a",
     "Character \"<\" can not be used in attribute values"},
    {"OtherQuoteInValue", "<a b=\"v'\" c='v\">'/>", "a[b=v';c=v\">]", ""},
    {"BlanksInValueKept", "<a b=' x\ty\r\nz '/>", "a[b= x\ty\r\nz ]", ""},
    {"LessThanInValue", "<a b='x<y'/>", "a", "Character \"<\" can not be used in attribute values"},
    {"ReferencesInValue", "<a b='x&lt;y&quot;&apos;&gt;&amp;'/>", "a[b=x<y\"'>&]", ""},
    {"ReferenceYieldsQuote", "<a b='&apos;'/>", "a[b=']", ""},
    {"NumericReferences", "<a>&#65;&#x41;&#x4a;&#x4A;&#321;</a>", "a(\"AAJJA\")", ""},
    {"NumberBeyond32Bits", "<a>&#4294967362;&#x10000000042;</a>", "a(\"BB\")", ""},
    {"EveryReferenceKindInARow", "<a>&amp;&lt;&gt;&quot;&apos;&#10;&#x7a;</a>", "a(\"&<>\"'\nz\")", ""},
    {"NumberWithoutSemicolon", "<a>&#65 </a>", "a", "Character ; expected"},
    {"HexNumberWithoutSemicolon", "<a>&#x41</a>", "a", "Character ; expected"},
    {"InputEndsInNumber", "a&#65", "", "Character ; expected"},
    {"InputEndsInNamedReference", "a&am", "", "Character ; expected"},
    {"CapitalX", "<a>&#X41;</a>", "a", "Number expected"},
    {"EmptyHexNumber", "<a>&#x;</a>", "a", "Hexadecimal number expected"},
    {"EmptyNumber", "<a>&#;</a>", "a", "Number expected"},
    {"InputEndsAfterHash", "a&#", "", "Number expected"},
    {"InputEndsAfterHexX", "a&#x", "", "Hexadecimal number expected"},
    {"InputEndsAfterAmpersand", "a&", "", "\"#\" expected or special symbol name"},
    {"UnknownNamedReference", "<a>&nbsp;</a>", "a", "Bad special symbol name: \"nbsp\""},
    {"NamedReferenceCaseSensitive", "<a>&AMP;</a>", "a", "Bad special symbol name: \"AMP\""},
    {"ReferenceWithoutSemicolon", "<a>&amp </a>", "a", "Character ; expected"},
    {"AmpersandBeforeBlank", "<a>& </a>", "a", nameStart},
    {"ReferenceNameTakesAmpersand", "<a>&amp&lt;</a>", "a", "Bad special symbol name: \"amp&lt\""},
    {"ReferenceInTopLevelText", "x&amp;y<a/>", "\"x&y\", a", ""},
    {"CDataWithBracket", "<![CDATA[a]]]>", "<![a]]>", ""},
    {"CDataKeepsMarkup", "<![CDATA[<a>&amp;]]>", "<![<a>&amp;]>", ""},
    {"CDataUnterminated", "<![CDATA[x]]", "", "\"]]>\" expected"},
    {"CDataBadOpening", "<![CDATX[x]]>", "", "\"[CDATA[\" expected"},
    {"CommentWithDoubleHyphen", "<!-- a -- b -->", "<!-- a -- b -->", ""},
    {"CommentEndingInHyphens", "<!--x--->", "<!--x--->", ""},
    {"CommentUnterminated", "<!-- x", "", "\"-->\" expected"},
    {"CommentBadOpening", "<!-x-->", "", "\"--\" expected"},
    {"InputEndsAfterBang", "<a/><!", "a", ""},
    {"LowerCaseDoctype", "<!doctype x>", "", "\"DOCTYPE\" expected"},
    {"DoctypeDropped", "<!DOCTYPE x><x/>", "x", ""},
    {"DoctypeEndsAtFirstGreater", "<!DOCTYPE x [<!ENTITY e 'v'>]><x/>", "\"]>\", x", ""},
    {"DoctypeUnterminated", "<!DOCTYPE x", "", "\">\" expected"},
    {"XmlDeclaration", "<?xml version=\"1.0\" encoding=\"UTF-8\"?><r/>",
     "<?xml[version=1.0;encoding=UTF-8]\"\"?>, r", ""},
    {"EmptyXmlDeclaration", "<?xml?>", "<?xml\"\"?>", ""},
    {"XmlDeclarationUnterminated", "<?xml version='1'", "<?xml[version=1]\"\"?>", "\"?>\" expected"},
    {"XmlDeclarationWithData", "<?xml version='1' x?>", "<?xml[version=1]\"\"?>", "Character = expected"},
    {"DeclarationInsideElement", "<a><?xml b='1'?></a>", "a(<?xml[b=1]\"\"?>)", ""},
    {"InstructionDataKeepsBlanks", "<?pi  data?>", "<?pi\"  data\"?>", ""},
    {"CapitalXmlIsInstruction", "<?XML?>", "<?XML\"\"?>", ""},
    {"InstructionWithQuestionMarks", "<?pi a?b?\?>", "<?pi\" a?b?\"?>", ""},
    {"InstructionUnterminated", "<?pi x", "<?pi\"\"?>", "\"?>\" expected"},
    {"InstructionWithoutTarget", "<? x?>", "", nameStart},
    {"StrayEndTagEndsLoad", "<a/></x><b/>", "a", ""},
    {"LessThanAtEnd", "<a/><", "a", ""},
    {"NulIsOrdinaryCharacter", "<a>x\0y</a>"s, "a(\"x\0y\")"s, ""},
    {"NulAfterNameIsBlank", "<a\0b='1'/>"s, "a[b=1]", ""},
    {"ByteOrderMarkIsText", "\xEF\xBB\xBF<a/>", "\"\xEF\xBB\xBF\", a", ""},
    {"Utf8BytesUnchanged", "<?xml encoding='utf-8'?><a b='\xD0\x9F'>\xD0\x9F\xC3</a>",
     "<?xml[encoding=utf-8]\"\"?>, a[b=\xD0\x9F](\"\xD0\x9F\xC3\")", ""},
};

class ParseTableTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseTableTest, FromString) {
    const ParseCase& c = GetParam();
    const ParseResult result = LoadFromString(c);
    EXPECT_EQ(result.error, c.error);
    EXPECT_EQ(result.tree, c.tree);
}

TEST_P(ParseTableTest, FromStreamWithSmallBuffers) {
    const ParseCase& c = GetParam();
    for (const std::int32_t bufSize : {1, 2, 3, 7, TXmlStmSource::LoadBufSize}) {
        const ParseResult result = ParseFromStream(c, bufSize);
        EXPECT_EQ(result.error, c.error) << "buffer size " << bufSize;
        EXPECT_EQ(result.tree, c.tree) << "buffer size " << bufSize;
    }
}

INSTANTIATE_TEST_SUITE_P(Xml, ParseTableTest, ::testing::ValuesIn(parseCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Values read at once stay views into the stream's window until their tag is
// read; a refill in between must not lose them. Every buffer size puts the
// window's ends at other places in the tags, values of 1 to 20 bytes among them.
TEST(ParserWindowTest, ValuesReadInPlaceSurviveEveryRefill) {
    std::string input = "<r>";
    std::string tree = "r(";
    for (int i = 0; i < 40; ++i) {
        const std::string x(static_cast<std::size_t>(1 + i % 20), static_cast<char>('a' + i % 26));
        const std::string y = std::to_string(i * 7919);
        input += "<e x='" + x + "' y=\"" + y + "\" z='" + y + x + "'/>";
        tree += std::string(i > 0 ? ", " : "") + "e[x=" + x + ";y=" + y + ";z=" + y + x + "]";
    }
    input += "</r>";
    tree += ")";
    const ParseCase c{"Window", input, tree, ""};
    ASSERT_EQ(LoadFromString(c).tree, tree);
    for (std::int32_t bufSize = 1; bufSize <= 80; ++bufSize) {
        const ParseResult result = ParseFromStream(c, bufSize);
        EXPECT_EQ(result.tree, tree) << "buffer size " << bufSize;
        EXPECT_EQ(result.error, "") << "buffer size " << bufSize;
    }
}

std::string Nested(std::int32_t depth) {
    std::string text;
    for (std::int32_t i = 0; i < depth; ++i) text += "<e>";
    for (std::int32_t i = 0; i < depth; ++i) text += "</e>";
    return text;
}

TEST(ParserDepthTest, NestingUpToTheBoundLoads) {
    IXmlDocument document = NewDocument(false);
    document->LoadXML(Nested(MaxElementDepth));
    TXmlNode* node = document.Get();
    std::int32_t depth = 0;
    while (node->HasChildren()) {
        node = node->PeekChildList()->ItemAt(0);
        ++depth;
    }
    EXPECT_EQ(depth, MaxElementDepth);
}

TEST(ParserDepthTest, NestingPastTheBoundFailsAndKeepsTheOpenElements) {
    IXmlDocument document = NewDocument(false);
    try {
        document->LoadXML(Nested(MaxElementDepth + 1));
        FAIL() << "no failure";
    } catch (const TolvexXmlException& failure) {
        EXPECT_STREQ(failure.what(), MaxDepthMessage);
    }
    std::int32_t depth = 0;
    for (TXmlNode* node = document.Get(); node->HasChildren(); node = node->PeekChildList()->ItemAt(0))
        ++depth;
    EXPECT_EQ(depth, MaxElementDepth);
}

TEST(ParserDepthTest, MillionOpenElementsFailAtTheBound) {
    std::string deep;
    for (int i = 0; i < 1'000'000; ++i) deep += "<a b='1'>";
    IXmlDocument document = NewDocument(false);
    try {
        document->LoadXML(deep);
        FAIL() << "no failure";
    } catch (const TolvexXmlException& failure) {
        EXPECT_STREQ(failure.what(), MaxDepthMessage);
    }
}

}  // namespace
