// Input made to hurt the host: nesting far past the parser's bound, huge values,
// huge attribute lists, NUL bytes everywhere and binary images that claim more
// than they hold. Each one loads or fails with the documented class and message,
// from a string and from a stream (the way a scenario file is read), and takes
// memory in proportion to the input, not to what the input claims.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Stream.h"
#include "support/AllocationProbe.h"
#include "support/ExpectFailure.h"
#include "support/XmlTreeDump.h"
#include "xml/TolvexXml.h"
#include "xml/XmlParser.h"

namespace TolvexXml {
namespace {

using TolvexXmlTest::DumpChildren;

std::string Repeated(const std::string& piece, int count) {
    std::string text;
    text.reserve(piece.size() * static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) text += piece;
    return text;
}

IXmlDocument NewDocument() { return new TXmlDocument(GlobalNameTable()); }

// A load from a string and one from a stream, the way LoadXmlFile reads a file.
struct LoadWay {
    const char* name;
    void (*load)(TXmlDocument& document, const std::string& input);
};

const LoadWay loadWays[] = {
    {"String", [](TXmlDocument& document, const std::string& input) { document.LoadXML(input); }},
    {"Stream",
     [](TXmlDocument& document, const std::string& input) {
         Platform::TMemoryStream stream(input);
         document.LoadFromStream(stream);
     }},
};

// --- nesting ---

struct NestingCase {
    const char* name;
    std::string input;
};

std::ostream& operator<<(std::ostream& out, const NestingCase& c) { return out << c.name; }

class NestingTest : public ::testing::TestWithParam<NestingCase> {};

TEST_P(NestingTest, FailsAtTheParsersBound) {
    for (const LoadWay& way : loadWays) {
        SCOPED_TRACE(way.name);
        IXmlDocument document = NewDocument();
        ExpectFailure<TolvexXmlException>([&] { way.load(*document, GetParam().input); }, MaxDepthMessage);
    }
}

INSTANTIATE_TEST_SUITE_P(
    HostileInput, NestingTest,
    ::testing::Values(
        NestingCase{"HundredThousandOpenElements", Repeated("<a>", 100000)},
        NestingCase{"HundredThousandClosedElements", Repeated("<a>", 100000) + Repeated("</a>", 100000)},
        NestingCase{"EveryNodeKindOnEveryLevel",
                    Repeated("<a x='1'><!--c--><?p d?>t&amp;<![CDATA[z]]><e/>", 100000)},
        NestingCase{"DeclarationThenNesting", "<?xml version='1.0'?><!DOCTYPE Root>" + Repeated("<Root>", 100000)},
        NestingCase{"SiblingsThenOneLevelTooDeep",
                    Repeated("<a><s/><s/>", MaxElementDepth) + "<b/>" + Repeated("</a>", MaxElementDepth)},
        NestingCase{"UnclosedStartTagsWithAttributes", Repeated("<a b='1' c=\"2\" >", 100000)}),
    [](const auto& info) { return std::string(info.param.name); });

// --- big values and big attribute lists ---

TEST(BigInputTest, AttributeValueOf64MiBLoadsIntact) {
    constexpr std::size_t size = 64u * 1024 * 1024;
    std::string input = "<Root><Big v=\"";
    const std::size_t valueStart = input.size();
    input.reserve(valueStart + size + 16);
    while (input.size() - valueStart < size) input += "abcdefghijklmnopqrstuvwxyz";
    input.resize(valueStart + size);
    input += "\"/></Root>";
    for (const LoadWay& way : loadWays) {
        SCOPED_TRACE(way.name);
        IXmlDocument document = NewDocument();
        way.load(*document, input);
        const std::string loaded = document->NeedChild("Root")->NeedChild("Big")->NeedAttr("v");
        ASSERT_EQ(loaded.size(), size);
        for (const std::size_t at : {std::size_t{0}, std::size_t{25}, std::size_t{26}, size / 2, size - 1})
            EXPECT_EQ(loaded[at], static_cast<char>('a' + at % 26)) << "at " << at;
    }
}

TEST(BigInputTest, MillionDistinctAttributesLoadInOrder) {
    constexpr int count = 1000000;
    std::string input = "<a";
    for (int i = 0; i < count; ++i) input += " n" + std::to_string(i) + "='" + std::to_string(i) + "'";
    input += "/>";
    IXmlDocument document = NewDocument();
    document->LoadXML(input);
    IXmlNode element = document->NeedChild("a");
    ASSERT_EQ(element->GetAttrCount(), count);
    for (const int at : {0, 1, 4095, 4096, 500000, count - 1}) {
        EXPECT_EQ(element->GetAttrName(at), "n" + std::to_string(at));
        EXPECT_EQ(element->GetAttrInt64("n" + std::to_string(at), -1), at);
    }
}

TEST(BigInputTest, MillionRepeatsOfFewNamesKeepFirstPlacesAndLastValues) {
    constexpr int rounds = 1000;
    constexpr int names = 1000;
    std::string input = "<a";
    for (int round = 0; round < rounds; ++round)
        for (int name = 0; name < names; ++name)
            input += " n" + std::to_string(name) + "='" + std::to_string(round) + "'";
    input += "/>";
    for (const LoadWay& way : loadWays) {
        SCOPED_TRACE(way.name);
        IXmlDocument document = NewDocument();
        way.load(*document, input);
        IXmlNode element = document->NeedChild("a");
        ASSERT_EQ(element->GetAttrCount(), names);
        for (const int at : {0, 1, 499, names - 1}) {
            EXPECT_EQ(element->GetAttrName(at), "n" + std::to_string(at));
            EXPECT_EQ(element->GetAttrData(at).Value.RawString(), std::to_string(rounds - 1));
        }
    }
}

TEST(BigInputTest, RepeatedAttributesOnManyElementsStayTheirOwn) {
    // The positions remembered for one element must not leak into the next one.
    IXmlDocument document = NewDocument();
    document->LoadXML("<r><a x='1' y='2' x='3'/><b y='4' x='5'/><c x='6' x='7'/></r>");
    EXPECT_EQ(DumpChildren(*document), "r(a[x=3;y=2], b[y=4;x=5], c[x=7])");
}

// --- NUL bytes ---

struct NulCase {
    const char* name;
    std::string input;
    std::string tree;   // the document's children after the load
    std::string error;  // the TolvexXmlException message; empty when the load succeeds
};

std::ostream& operator<<(std::ostream& out, const NulCase& c) { return out << c.name; }

class NulByteTest : public ::testing::TestWithParam<NulCase> {};

TEST_P(NulByteTest, LoadsOrFailsCleanly) {
    using namespace std::string_literals;
    for (const LoadWay& way : loadWays) {
        SCOPED_TRACE(way.name);
        IXmlDocument document = NewDocument();
        std::string error;
        try {
            way.load(*document, GetParam().input);
        } catch (const TolvexXmlException& failure) {
            error = failure.what();
        }
        EXPECT_EQ(error, GetParam().error);
        EXPECT_EQ(DumpChildren(*document), GetParam().tree);
        if (!error.empty()) continue;
        // What loads renders (NUL as "&#0;") and reads back the same.
        IXmlDocument again = NewDocument();
        again->LoadXML(document->GetXML());
        EXPECT_EQ(DumpChildren(*again), GetParam().tree);
    }
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(
    HostileInput, NulByteTest,
    ::testing::Values(
        // NUL is one of the blanks (bytes 0 to 32) between markup.
        NulCase{"BeforeTheRoot", "\0\0<a/>\0"s, "a", ""},
        NulCase{"BetweenTags", "<r>\0<a/>\0\0<b/>\0</r>"s, "r(a, b)", ""},
        NulCase{"AllNul", std::string(100000, '\0'), "", ""},
        NulCase{"EndsTheNameOfAStartTag", "<a\0/>"s, "a", ""},
        NulCase{"InsideAnElementName", "<ab\0cd/>"s, "ab", "Character = expected"},
        NulCase{"FirstInAnElementName", "<\0a/>"s, "", "Name must start with letter or \"_\""},
        NulCase{"InsideAnAttributeName", "<a b\0c='1'/>"s, "a", "Character = expected"},
        NulCase{"AroundTheEqualsSign", "<a b\0=\0'1'/>"s, "a[b=1]", ""},
        NulCase{"InAnAttributeValue", "<a b='x\0y\0'/>"s, "a[b=x\0y\0]"s, ""},
        NulCase{"InText", "<a>x\0y</a>"s, "a(\"x\0y\")"s, ""},
        NulCase{"InAnEndTagName", "<ab></a\0b>"s, "ab", "\"ab\" expected"},
        NulCase{"AfterAnEndTagName", "<a></a\0>"s, "a", ""},
        NulCase{"InAComment", "<a><!--x\0y--></a>"s, "a(<!--x\0y-->)"s, ""},
        NulCase{"InACDataSection", "<a><![CDATA[\0]]></a>"s, "a(<![\0]>)"s, ""},
        NulCase{"InAProcessingInstruction", "<?p x\0y?><a/>"s, "<?p\" x\0y\"?>, a"s, ""},
        // Text that is all blanks after its references are read is dropped too.
        NulCase{"OnlyCharacterReferences", "<a>&#0;&#x0;</a>"s, "a", ""},
        NulCase{"InACharacterReference", "<a>x&#0;&#x0;</a>"s, "a(\"x\0\0\")"s, ""},
        NulCase{"InAReferenceName", "<a>&a\0mp;</a>"s, "a", "Character ; expected"},
        NulCase{"InTheEncodingName", "<?xml version='1.0' encoding='utf\0-8'?><a/>"s,
                "<?xml[version=1.0;encoding=utf\0-8]\"\"?>, a"s, ""},
        NulCase{"InTheDeclarationTarget", "<?x\0ml version='1.0'?><a/>"s, "<?x\"\0ml version='1.0'\"?>, a"s, ""}),
    [](const auto& info) { return std::string(info.param.name); });

// --- binary images that claim more than they hold ---

std::string Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (const int value : values) bytes += static_cast<char>(value);
    return bytes;
}

// The signature, no options, and a name table of the five predefined names and
// one bucket holding none of them; then the given content.
std::string ImageWithContent(const std::string& content) {
    std::string image = "< binary-xml >" + Bytes({0, 0, 0, 0, 5});
    for (const char* name : {"#text", "#cdata-section", "#comment", "#document", "xml"}) {
        image += static_cast<char>(std::string(name).size());
        image += name;
    }
    return image + Bytes({1, 0}) + content;
}

// A packed count of 0x7FFFFFFF.
const std::string HugeCount = Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0x7F});

struct ImageCase {
    const char* name;
    std::string image;
    std::string error;
};

std::ostream& operator<<(std::ostream& out, const ImageCase& c) { return out << c.name; }

class ClaimingImageTest : public ::testing::TestWithParam<ImageCase> {};

TEST_P(ClaimingImageTest, FailsWithoutAllocatingWhatItClaims) {
    // A load that allocated for the claims would ask for gigabytes; the reader
    // takes its buffer and the name table its buckets, nothing near that.
    constexpr std::size_t allowed = 1024 * 1024;
    for (const bool fromStream : {false, true}) {
        SCOPED_TRACE(fromStream ? "Stream" : "String");
        IXmlDocument document = NewDocument();
        const std::optional<std::size_t> largest = TolvexTest::LargestAllocationDuring([&] {
            ExpectFailure<TolvexXmlException>(
                [&] {
                    if (fromStream) {
                        Platform::TMemoryStream stream(GetParam().image);
                        document->LoadFromStream(stream);
                    } else {
                        document->LoadBinaryXML(GetParam().image);
                    }
                },
                GetParam().error);
        });
        if (largest) {
            EXPECT_LT(*largest, allowed);
        }
    }
}

const std::string readError = "Error reading data.";
const std::string badTable = "Error reading binary XML: bad name table.";

INSTANTIATE_TEST_SUITE_P(
    HostileInput, ClaimingImageTest,
    ::testing::Values(
        ImageCase{"NameCount", "< binary-xml >" + Bytes({0, 0, 0, 0}) + HugeCount + Bytes({1, 'a'}), readError},
        ImageCase{"NameLength", "< binary-xml >" + Bytes({0, 0, 0, 0, 1}) + HugeCount + "ab", readError},
        ImageCase{"WideNameLength", "< binary-xml >" + Bytes({1, 0, 0, 0, 1}) + HugeCount + "ab", readError},
        ImageCase{"BucketCount", "< binary-xml >" + Bytes({0, 0, 0, 0, 0}) + HugeCount + Bytes({0}), badTable},
        ImageCase{"UsedBucketCount", "< binary-xml >" + Bytes({0, 0, 0, 0, 0, 1}) + HugeCount, readError},
        ImageCase{"BucketSize", "< binary-xml >" + Bytes({0, 0, 0, 0, 0, 1, 1, 0}) + HugeCount, readError},
        ImageCase{"AttributeCount", ImageWithContent(HugeCount + Bytes({4, 0})), readError},
        ImageCase{"ChildCount", ImageWithContent(Bytes({0}) + HugeCount + Bytes({1, 4, 0})), readError},
        ImageCase{"TextLength", ImageWithContent(Bytes({0, 1, 3, 0x81, 0x00}) + HugeCount + "ab"), readError},
        ImageCase{"WideTextLength", ImageWithContent(Bytes({0, 1, 3, 8}) + HugeCount + "ab"), readError},
        ImageCase{"ByteArrayLength", ImageWithContent(Bytes({0, 1, 3, 0xA0, 0x11}) + HugeCount + "ab"), readError},
        ImageCase{"CommentLength", ImageWithContent(Bytes({0, 1, 8}) + HugeCount + "ab"), readError},
        ImageCase{"NestedChildCounts",
                  ImageWithContent(Bytes({0, 1, 1, 4, 0, 0, 1, 1, 4, 0, 0}) + HugeCount), readError}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace TolvexXml
