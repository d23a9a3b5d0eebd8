// The document loads: strings, streams, files, resources, the binary signature,
// and the encoding rule of XML declarations.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/Exception.h"
#include "platform/ModuleResource.h"
#include "platform/Stream.h"
#include "support/XmlTreeDump.h"
#include "xml/TolvexXml.h"
#include "xml/XmlLoad.h"
#include "xml/XmlSource.h"
#include "xml/XmlSourceEncoding.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

using namespace TolvexXml;
using TolvexXmlTest::DumpChildren;

const std::string signature = "< binary-xml >";

IXmlDocument NewDocument() { return IXmlDocument(new TXmlDocument(GlobalNameTable())); }

// A file in the current directory, removed when the test ends.
class ScratchFile {
public:
    ScratchFile(const std::string& name, const std::string& bytes) : name_(name) {
        Platform::TFileStream file(name, Platform::FileStreamMode::Create);
        file.WriteBuffer(bytes.data(), bytes.size());
    }
    ~ScratchFile() { std::filesystem::remove(name_); }
    const std::string& Name() const { return name_; }

private:
    std::string name_;
};

std::string CurrentDirectory() {
#if defined(_WIN32)
    char buffer[MAX_PATH];
    const DWORD length = ::GetCurrentDirectoryA(sizeof buffer, buffer);
    return std::string(buffer, length) + "\\";
#else
    char buffer[4096];
    return std::string(::getcwd(buffer, sizeof buffer)) + "/";
#endif
}

// A scenario-like document of about the given size.
std::string SampleDocument(std::size_t size) {
    std::string text = "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n<Root>\r\n";
    for (int i = 0; text.size() < size; ++i) {
        text += "  <Answer CardCode=\"" + std::to_string(1000 + i) +
                "\" Name=\"Holder &amp; Co\" Summa='12.50'><!-- case -->\r\n"
                "    <OutputInfo OutKind=\"1\">line&#13;&#10;two &lt;3&gt;</OutputInfo>\r\n  </Answer>\r\n";
    }
    return text + "</Root>\r\n";
}

TEST(LoadXmlTest, ReplacesChildrenAndAttributes) {
    IXmlDocument document = NewDocument();
    document->LoadXML("<a/>");
    document->SetAttrText("x", "1");
    document->LoadXML("<!--c--><b/>");
    EXPECT_EQ(DumpChildren(*document), "<!--c-->, b");
    EXPECT_EQ(document->GetAttrCount(), 0);
}

TEST(LoadXmlTest, KeepsWhatWasParsedBeforeAFailure) {
    IXmlDocument document = NewDocument();
    EXPECT_THROW(document->LoadXML("<Root><A x='1'/><B y='2'>text<C"), TolvexXmlException);
    EXPECT_EQ(DumpChildren(*document), "Root(A[x=1], B[y=2](\"text\"))");
}

TEST(LoadXmlTest, KeepsTheNameTableAndAddsNames) {
    IXmlDocument document = NewDocument();
    const std::int32_t rootId = document->NameTable().NameToId("Root", false);
    document->LoadXML("<Root NewAttr='1'/>");
    EXPECT_EQ(document->GetDocumentElement()->GetNameId(), rootId);
    EXPECT_EQ(document->NameTable().IdToName(rootId + 1), "NewAttr");
}

TEST(LoadXmlTest, BinaryImagesLoadFromStringsAndStreams) {
    // A small image, and one larger than the first window a stream load reads.
    std::string large = "<Root>";
    for (int i = 0; i < 6000; ++i) large += "<B n='" + std::to_string(i) + "'>text</B>";
    large += "</Root>";
    const std::string small = "<?xml version='1.0'?><Root a='1'><!--c--><B>text</B></Root>";
    for (const std::string& text : {small, large}) {
        IXmlDocument source = NewDocument();
        source->LoadXML(text);
        const std::string image = source->GetBinaryXML();
        ASSERT_EQ(image.substr(0, signature.size()), signature);

        IXmlDocument fromString = NewDocument();
        fromString->LoadXML("<gone/>");
        fromString->LoadXML(image);
        EXPECT_EQ(DumpChildren(*fromString), DumpChildren(*source));

        IXmlDocument fromStream = NewDocument();
        Platform::TMemoryStream stream(image);
        fromStream->LoadFromStream(stream);
        EXPECT_EQ(DumpChildren(*fromStream), DumpChildren(*source)) << image.size() << " bytes";
    }
}

TEST(LoadXmlTest, SignatureAloneTakesTheBinaryPath) {
    IXmlDocument document = NewDocument();
    // Too short for an image: the binary reader's failure, not a parse error.
    try {
        document->LoadXML(signature);
        FAIL() << "no failure";
    } catch (const Platform::Exception& failure) {
        EXPECT_STRNE(failure.what(), "Name must start with letter or \"_\"");
    }
}

TEST(LoadFromStreamTest, SignatureOfExactlyFourteenBytesIsParsedAsText) {
    IXmlDocument document = NewDocument();
    Platform::TMemoryStream stream(signature);
    try {
        document->LoadFromStream(stream);
        FAIL() << "no failure";
    } catch (const TolvexXmlException& failure) {
        EXPECT_STREQ(failure.what(), "Name must start with letter or \"_\"");
    }
}

TEST(LoadFromStreamTest, StartOfATextDocumentIsReadAgainAfterTheSignatureTest) {
    for (const std::string text : {"<abcdefghijk/>", "<abcdefghijkl/>", "<a/>"}) {
        IXmlDocument document = NewDocument();
        Platform::TMemoryStream stream(text);
        document->LoadFromStream(stream);
        EXPECT_EQ(DumpChildren(*document), text.substr(1, text.size() - 3));
    }
}

TEST(LoadFromStreamTest, GivesTheSameTreeAsLoadXmlAcrossBufferBoundaries) {
    const std::string text = SampleDocument(300'000);
    IXmlDocument fromString = NewDocument();
    fromString->LoadXML(text);
    IXmlDocument fromStream = NewDocument();
    Platform::TMemoryStream stream(text);
    fromStream->LoadFromStream(stream);
    EXPECT_EQ(DumpChildren(*fromStream), DumpChildren(*fromString));
    EXPECT_GT(fromString->GetDocumentElement()->GetChildNodes()->GetCount(), 1000);
}

TEST(LoadFromStreamTest, ConstructsStraddlingTheBufferEnd) {
    // Each construct is placed so that it crosses offset 65536.
    for (const std::string construct : {"<element attribute='va&amp;lue'>t&#65;xt</element>",
                                         "<!-- a comment -->", "<![CDATA[ cdata ]]>", "<?pi data?>"}) {
        for (std::size_t shift = 0; shift < construct.size(); ++shift) {
            const std::string text = "<r>" + std::string(65536 - 3 - shift, ' ') + construct + "</r>";
            IXmlDocument expected = NewDocument();
            expected->LoadXML(text);
            IXmlDocument document = NewDocument();
            Platform::TMemoryStream stream(text);
            document->LoadFromStream(stream);
            ASSERT_EQ(DumpChildren(*document), DumpChildren(*expected)) << construct << " shift " << shift;
        }
    }
}

TEST(LoadFromFileTest, MissingFileRaisesOpenErrorAndKeepsTheDocument) {
    IXmlDocument document = NewDocument();
    document->LoadXML("<keep/>");
    const std::string prefix = "Cannot open file \"" + CurrentDirectory() + "no-such-file.xml\". ";
    try {
        document->LoadFromFile("no-such-file.xml");
        FAIL() << "no failure";
    } catch (const Platform::EFOpenError& failure) {
        const std::string message = failure.what();
        EXPECT_EQ(message.substr(0, prefix.size()), prefix);
        EXPECT_GT(message.size(), prefix.size()) << "the system's message is missing";
    }
    EXPECT_EQ(DumpChildren(*document), "keep");
}

TEST(LoadFromFileTest, DirectoryCannotBeOpened) {
    const std::string name = "tolvex-load-test-directory.xml";
    std::filesystem::create_directory(name);
    IXmlDocument document = NewDocument();
    document->LoadXML("<keep/>");
    EXPECT_THROW(document->LoadFromFile(name), Platform::EFOpenError);
    EXPECT_EQ(DumpChildren(*document), "keep");
    std::filesystem::remove(name);
}

TEST(LoadFromFileTest, EmptyFileGivesAnEmptyDocument) {
    ScratchFile file("tolvex-load-test-empty.xml", "");
    IXmlDocument document = NewDocument();
    document->LoadXML("<gone/>");
    document->LoadFromFile(file.Name());
    EXPECT_EQ(document->GetChildNodes()->GetCount(), 0);
}

TEST(LoadFromFileTest, FilesAroundOneBufferLong) {
    for (const std::size_t size : {65535u, 65536u, 65537u}) {
        std::string text = "<r>" + std::string(size - 8, 'x') + "</r>";
        text.insert(text.size() - 4, 1, 'y');
        ASSERT_EQ(text.size(), size);
        ScratchFile file("tolvex-load-test-buffer.xml", text);
        IXmlDocument document = NewDocument();
        document->LoadFromFile(file.Name());
        EXPECT_EQ(document->GetDocumentElement()->GetText(), std::string(size - 8, 'x') + "y");
    }
}

TEST(LoadFromFileTest, FileIsClosedAlsoWhenParsingFails) {
    ScratchFile file("tolvex-load-test-broken.xml", "<a><b");
    IXmlDocument document = NewDocument();
    EXPECT_THROW(document->LoadFromFile(file.Name()), TolvexXmlException);
    // Creating the file again needs it closed (no sharing on creation).
    EXPECT_NO_THROW(Platform::TFileStream(file.Name(), Platform::FileStreamMode::Create));
}

// A failed parse and where it stopped.
struct ParseFailure {
    const char* name;
    std::string text;
    std::size_t offset;
    const char* message;
};

// The text padded with blanks inside <r> so that its character at index lands at offset.
std::string Placed(const std::string& text, std::size_t index, std::size_t offset) {
    return "<r>" + std::string(offset - 3 - index, ' ') + text;
}

const std::vector<ParseFailure>& ParseFailures() {
    static const std::vector<ParseFailure> failures = {
        {"NoNameAfterTheFirstByte", "<>", 1, "Name must start with letter or \"_\""},
        {"ReferenceAtTheStart", "&#;", 2, "Number expected"},
        {"LaterLine", "<Root>\n  <a x='1'>\n  </b>\n</Root>\n", 23, "\"a\" expected"},
        {"UnclosedElement", "<Root>\r\n<a/>\r\n", 14, "Character / expected"},
        {"UnterminatedValue", "<a x='1", 7, "Character \"'\" expected"},
        {"LastByteOfTheFirstWindow", Placed("<a x=1/>", 5, 65535), 65535, "String constant expected"},
        {"FirstByteOfTheSecondWindow", Placed("<a x=1/>", 5, 65536), 65536, "String constant expected"},
        {"AfterTheFirstWindow", Placed("<a x=1/>", 5, 100000), 100000, "String constant expected"},
        {"NameAcrossTheWindows", Placed("<abcdef!/>", 7, 65539), 65539, "Некорретный символ в имени элемента"},
        {"UnclosedAfterTheFirstWindow", Placed("<a>", 0, 70000), 70003, "Character / expected"},
    };
    return failures;
}

class ParseErrorOffset : public ::testing::TestWithParam<ParseFailure> {
protected:
    // Loads with the load and expects the failure at its offset, message unchanged.
    template <class Load>
    void ExpectFailure(const char* how, Load load) {
        IXmlDocument document = NewDocument();
        try {
            load(*document);
            ADD_FAILURE() << how << ": no failure";
        } catch (const TolvexXmlException& failure) {
            EXPECT_STREQ(failure.what(), GetParam().message) << how;
        }
        EXPECT_EQ(document->GetParseErrorOffset(), static_cast<std::int64_t>(GetParam().offset)) << how;
    }
};

TEST_P(ParseErrorOffset, IsTheSameForStringStreamAndFile) {
    const std::string& text = GetParam().text;
    ExpectFailure("string", [&](TXmlDocument& document) { document.LoadXML(text); });
    ExpectFailure("stream", [&](TXmlDocument& document) {
        Platform::TMemoryStream stream(text);
        document.LoadFromStream(stream);
    });
    ScratchFile file("tolvex-load-test-offset.xml", text);
    ExpectFailure("file", [&](TXmlDocument& document) { document.LoadFromFile(file.Name()); });
}

INSTANTIATE_TEST_SUITE_P(Failures, ParseErrorOffset, ::testing::ValuesIn(ParseFailures()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ParseErrorOffsetTest, IsMinusOneUnlessTheLastLoadFailedInParsing) {
    IXmlDocument document = NewDocument();
    EXPECT_EQ(document->GetParseErrorOffset(), -1);
    const auto failParsing = [&] {
        EXPECT_THROW(document->LoadXML("<a"), TolvexXmlException);
        ASSERT_EQ(document->GetParseErrorOffset(), 2);
    };
    failParsing();
    document->LoadXML("<a/>");
    EXPECT_EQ(document->GetParseErrorOffset(), -1);
    failParsing();
    EXPECT_THROW(document->LoadFromFile("no-such-file.xml"), Platform::EFOpenError);
    EXPECT_EQ(document->GetParseErrorOffset(), -1);
    failParsing();
    EXPECT_THROW(document->LoadXML(signature), Platform::Exception);  // a binary image too short
    EXPECT_EQ(document->GetParseErrorOffset(), -1);
}

TEST(LoadXmlFileTest, LoadsIntoANewDocumentWithAPrivateTable) {
    ScratchFile file("tolvex-load-test-in.xml", "<?xml version='1.0'?><Root><A/></Root>");
    IXmlDocument document = LoadXmlFile(file.Name());
    EXPECT_EQ(DumpChildren(*document), "<?xml[version=1.0]\"\"?>, Root(A)");
    EXPECT_NE(document->GetNameTable().Get(), GlobalNameTable());
    EXPECT_THROW(LoadXmlFile("no-such-file.xml"), Platform::EFOpenError);
}

#if !defined(_WIN32)
TOLVEX_MODULE_RESOURCE("XML", "SCENARIO", "<Root><Answer Code='1'/></Root>");
TOLVEX_MODULE_RESOURCE("XML", "EMPTY", "");

TEST(LoadResourceTest, LoadsTheModulesResource) {
    IXmlDocument document = NewDocument();
    document->LoadResource("xml", "Scenario");
    EXPECT_EQ(DumpChildren(*document), "Root(Answer[Code=1])");
}
#endif

TEST(LoadResourceTest, MissingOrEmptyResourceLeavesTheDocument) {
    IXmlDocument document = NewDocument();
    document->LoadXML("<keep/>");
    document->LoadResource("XML", "NO-SUCH-RESOURCE");
    document->LoadResource("XML", "EMPTY");
    EXPECT_EQ(DumpChildren(*document), "keep");
}

// Sets the unit's UTF-8 decoding for one test.
class DecodeUtf8OnLoadScope {
public:
    DecodeUtf8OnLoadScope() { DecodeUtf8OnLoad = true; }
    ~DecodeUtf8OnLoadScope() { DecodeUtf8OnLoad = false; }
};

TEST(Utf8LoadTest, DeclarationNamingUtf8SwitchesDecodingOn) {
    DecodeUtf8OnLoadScope decoding;
    IXmlDocument document = NewDocument();
    document->LoadXML(
        "<a v='\xD0\x9F'>\xD0\x9F</a>"
        "<?xml encoding='UTF-8'?>"
        "<b c='\xD0\x9F\xD1\x80' d='plain'>\xC3\xA9t\xC3\xA9<!--\xC3--><![CDATA[\xC3]]></b>"
        "<?xml encoding='windows-1251'?><e>\xC3\xA9</e>");
    EXPECT_EQ(DumpChildren(*document),
              "a[v=\xD0\x9F](\"\xD0\x9F\"), <?xml[encoding=UTF-8]\"\"?>, "
              "b[c=u{041F}u{0440};d=plain](\"u{00E9}tu{00E9}\", <!--\xC3-->, <![\xC3]>), "
              "<?xml[encoding=windows-1251]\"\"?>, e(\"u{00E9}\")");
    EXPECT_EQ(document->SelectElement("b")->GetAttrTypeById(document->NameTable().NameToId("d", false)),
              Platform::varString);
}

TEST(Utf8LoadTest, MalformedValueFailsAndKeepsTheTree) {
    DecodeUtf8OnLoadScope decoding;
    for (const std::string text : {"<?xml encoding='utf-8'?><a>\xC3</a>", "<?xml encoding='utf-8'?><a>\xC3 x</a>",
                                    "<?xml encoding='utf-8'?><a b='\xD0'/>"}) {
        IXmlDocument document = NewDocument();
        try {
            document->LoadXML(text);
            ADD_FAILURE() << "no failure for " << text;
        } catch (const TolvexXmlException& failure) {
            EXPECT_STREQ(failure.what(), "Bad UTF8 format");
        }
        EXPECT_EQ(DumpChildren(*document).substr(0, 35), "<?xml[encoding=utf-8]\"\"?>, a");
    }
}

TEST(Utf8LoadTest, WithoutTheSettingUtf8StaysBytes) {
    IXmlDocument document = NewDocument();
    document->LoadXML("<?xml encoding='UTF-8'?><a>\xC3</a>");
    EXPECT_EQ(DumpChildren(*document), "<?xml[encoding=UTF-8]\"\"?>, a(\"\xC3\")");
}

std::uint16_t TestEncodings(const std::string& encoding) { return encoding == "my-utf" ? 65001 : 7; }

TEST(EncodingRuleTest, DeclarationSetsTheSourcesCodePageThroughTheReplaceableLookup) {
    EncodingToCodePage = TestEncodings;
    DecodeUtf8OnLoadScope decoding;
    IXmlDocument document = NewDocument();
    const std::string text = "<?xml encoding='other'?><?xml encoding='my-utf'?><a>\xC3\xA9</a>";
    TXmlStrSource source(text);
    document->GetChildList()->ParseChildren(source, document->NameTable(), false, document->NewLoadRegion());
    EncodingToCodePage = StandardEncodingToCodePage;
    EXPECT_EQ(source.CodePage, 65001);
    EXPECT_TRUE(source.DecodeUtf8);
    EXPECT_EQ(document->GetDocumentElement()->GetValueType(), Platform::varString);  // element value: its text
    EXPECT_EQ(DumpChildren(*document->GetDocumentElement()), "\"u{00E9}\"");
}

TEST(EncodingRuleTest, DeclarationWithoutEncodingGivesCodePageZero) {
    IXmlDocument document = NewDocument();
    const std::string text = "<?xml encoding='cp866'?><?xml version='1.0'?>";
    TXmlStrSource source(text);
    document->GetChildList()->ParseChildren(source, document->NameTable(), false, document->NewLoadRegion());
    EXPECT_EQ(source.CodePage, 0);
    EXPECT_FALSE(source.DecodeUtf8);
}

}  // namespace
