// New documents, the encoding name, saving to streams and files, and round trips
// of text through the parser and the renderer.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/Stream.h"
#include "support/ExpectFailure.h"
#include "xml/TolvexXml.h"

namespace TolvexXml {
namespace {

constexpr char Declaration1251[] = "<?xml version=\"1.0\" encoding=\"windows-1251\"?>";

// A stream that takes at most `accepted` bytes in all and counts the writes asked for.
class ShortStream final : public Platform::TStream {
public:
    explicit ShortStream(std::size_t accepted) : accepted_(accepted) {}
    std::size_t Read(void*, std::size_t) override { return 0; }
    std::size_t Write(const void*, std::size_t count) override {
        ++writes;
        const std::size_t taken = count < accepted_ ? count : accepted_;
        accepted_ -= taken;
        return taken;
    }
    std::int64_t Seek(std::int64_t, Platform::SeekOrigin) override { return 0; }
    int writes = 0;

private:
    std::size_t accepted_;
};

std::string ReadFile(const std::string& name) {
    std::ifstream file(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

class SaveTest : public ::testing::Test {
protected:
    IXmlDocument doc = new TXmlDocument(GlobalNameTable());
};

TEST_F(SaveTest, NewDocumentReplacesTheContentByADeclarationAndAnEmptyRoot) {
    doc->AppendComment("old");
    doc->AppendElement("Old");
    doc->CachedCodePage = 866;
    IXmlElement root = doc->NewDocument("1.0", "", "Root");

    EXPECT_EQ(doc->CachedCodePage, 0u);
    ASSERT_EQ(doc->GetChildNodes()->GetCount(), 2);
    IXmlNode declaration = doc->GetChildNodes()->GetItem(0);
    EXPECT_EQ(declaration->GetNodeType(), PROCESSING_INSTRUCTION_NODE);
    EXPECT_EQ(declaration->GetNameId(), doc->NameTable().XmlId());
    EXPECT_EQ(declaration->GetText(), "");
    EXPECT_TRUE(doc->GetChildNodes()->GetItem(1) == root);
    EXPECT_TRUE(doc->GetDocumentElement() == root);
    EXPECT_EQ(doc->GetXML(), std::string(Declaration1251) + "\r\n<Root/>");
    doc->PreserveWhiteSpace = true;
    EXPECT_EQ(doc->GetXML(), std::string(Declaration1251) + "<Root/>");
}

TEST_F(SaveTest, NewDocumentKeepsVersionAndEncodingAsGiven) {
    doc->NewDocument("", "UTF-8", "r");
    EXPECT_EQ(doc->GetXML(), "<?xml version=\"\" encoding=\"UTF-8\"?>\r\n<r/>");
    EXPECT_EQ(doc->GetEncoding(), "UTF-8");
    EXPECT_EQ(doc->GetCodePage(), 65001u);
    // The cache is cleared for the next encoding.
    doc->NewDocument("1.1", "cp866", "r");
    EXPECT_EQ(doc->GetCodePage(), 866u);
}

TEST_F(SaveTest, NewDocumentByIdUsesTheGivenNameId) {
    const std::int32_t id = doc->NameTable().NameToId("Data", false);
    IXmlElement root = doc->NewDocumentById("1.0", "windows-1251", id);
    EXPECT_EQ(root->GetNameId(), id);
    EXPECT_EQ(doc->GetXML(), std::string(Declaration1251) + "\r\n<Data/>");
}

TEST_F(SaveTest, NewDocumentInternsTheRootNameExactly) {
    doc->NameTable().NameToId("root", false);
    doc->NewDocument("1.0", "", "Root");
    EXPECT_EQ(doc->GetDocumentElement()->GetNodeName(), "Root");
}

TEST_F(SaveTest, EncodingComesFromTheFirstChildOnly) {
    EXPECT_EQ(doc->GetEncoding(), "windows-1251");
    doc->AppendProcessingInstruction("xml", "")->SetAttrText("version", "1.0");
    EXPECT_EQ(doc->GetEncoding(), "windows-1251");
    doc->GetChildNodes()->GetItem(0)->SetAttrText("encoding", "KOI8-R");
    EXPECT_EQ(doc->GetEncoding(), "KOI8-R");
    doc->InsertBefore(doc->CreateComment("first"), doc->GetChildNodes()->GetItem(0));
    EXPECT_EQ(doc->GetEncoding(), "windows-1251");
}

TEST_F(SaveTest, SaveToStreamWritesTheTextAtTheCurrentPosition) {
    doc->NewDocument("1.0", "", "Root")->SetText("x");
    Platform::TMemoryStream stream(std::string("head"));
    stream.Seek(0, Platform::SeekOrigin::End);
    doc->SaveToStream(stream);
    EXPECT_EQ(stream.Bytes(), std::string("head") + Declaration1251 + "\r\n<Root>x</Root>");
}

TEST_F(SaveTest, SaveToStreamWritesOnceAndNothingForAnEmptyDocument) {
    ShortStream refusing(0);
    doc->SaveToStream(refusing);
    EXPECT_EQ(refusing.writes, 0);

    doc->AppendElement("Root");
    ShortStream roomy(1000);
    doc->SaveToStream(roomy);
    EXPECT_EQ(roomy.writes, 1);
}

TEST_F(SaveTest, ShortWriteFailsWithTheStreamWriteError) {
    doc->NewDocument("1.0", "", "Root");
    ShortStream shortStream(10);
    ExpectFailure<Platform::EWriteError>([&] { doc->SaveToStream(shortStream); }, "Stream write error");
    ShortStream shortStreamWithHandler(10);
    ExpectFailure<Platform::EWriteError>(
        [&] { doc->SaveToStreamWithHandler(shortStreamWithHandler, "Root", ElementContentHandler()); },
        "Stream write error");
}

TEST_F(SaveTest, SaveToFileReplacesAnExistingFile) {
    const std::string name = "tolvex-save-test.xml";
    {
        std::ofstream existing(name, std::ios::binary);
        existing << std::string(500, 'z');
    }
    doc->NewDocument("1.0", "", "Root")->SetAttrText("a", "\"q\"");
    doc->SaveToFile(name);
    EXPECT_EQ(ReadFile(name), std::string(Declaration1251) + "\r\n<Root a=\"&quot;q&quot;\"/>");

    IXmlDocument(new TXmlDocument(GlobalNameTable()))->SaveToFile(name);
    EXPECT_EQ(ReadFile(name), "");
    std::filesystem::remove(name);
}

TEST_F(SaveTest, SaveToFileThatCannotBeCreatedFails) {
    const std::string name = "tolvex-save-test-directory";
    std::filesystem::create_directory(name);
    doc->NewDocument("1.0", "", "Root");
    try {
        doc->SaveToFile(name);
        ADD_FAILURE() << "no failure";
    } catch (const Platform::EFCreateError& failure) {
        const std::string message = failure.what();
        EXPECT_EQ(message.rfind("Cannot create file \"", 0), 0u) << message;
        EXPECT_NE(message.find(name + "\". "), std::string::npos) << message;
    }
    EXPECT_TRUE(std::filesystem::is_directory(name));
    std::filesystem::remove(name);
}

// Text that the renderer produced reads back into a tree that renders the same.
TEST_F(SaveTest, IndentedTextRoundTripsThroughTheParser) {
    const std::string text = std::string(Declaration1251) +
                             "\r\n<Root a=\"1 &amp; &lt;2&gt;\" b=\"'&quot;'\">"
                             "\r\n\t<Item Code=\"5\">a&lt;b&#9;c&#13;&#10;d</Item>"
                             "\r\n\t<Empty/><!--note--><?pi some data?>"
                             "\r\n\t<Data><![CDATA[x]]]><![CDATA[]>y]]></Data>"
                             "\r\n\t<Deep>"
                             "\r\n\t\t<Deeper>\xcf\xf0\xe8\xe2\xe5\xf2</Deeper>"
                             "\r\n\t</Deep>"
                             "\r\n</Root>";
    doc->LoadXML(text);
    EXPECT_EQ(doc->GetXML(), text);
    EXPECT_EQ(doc->SelectElement("Root/Data")->GetText(), "x]]>y");
    EXPECT_EQ(doc->SelectElement("Root/Item")->GetText(), "a<b\tc\r\nd");
}

TEST_F(SaveTest, CompactTextRoundTripsThroughTheParser) {
    const std::string text = std::string(Declaration1251) +
                             "<Root> lead <a x=\"\"/>  <b> <![CDATA[ c ]]> </b><!-- c --></Root>";
    doc->PreserveWhiteSpace = true;
    doc->LoadXML(text);
    EXPECT_EQ(doc->GetXML(), text);
}

TEST_F(SaveTest, BuiltTreeRoundTripsThroughText) {
    IXmlElement root = doc->NewDocument("1.0", "", "Root");
    root->SetAttrValue("n", Platform::Variant::FromInt32(-3));
    root->AppendElement("t")->SetText("\x01<&>\"'\x7f\xff");
    root->AppendElement("c")->ReplaceTextByCDATASection("]]>]]>");
    root->AppendElement("p")->AppendProcessingInstruction("pi", "data");
    const std::string text = doc->GetXML();

    IXmlDocument copy = new TXmlDocument(GlobalNameTable());
    copy->LoadXML(text);
    EXPECT_EQ(copy->GetXML(), text);
    EXPECT_EQ(copy->SelectElement("Root/t")->GetText(), "\x01<&>\"'\x7f\xff");
    EXPECT_EQ(copy->SelectElement("Root/c")->GetText(), "]]>]]>");
    EXPECT_EQ(copy->GetDocumentElement()->GetAttrText("n", ""), "-3");
}

TEST_F(SaveTest, RawBase64TextReadsBackAsTheSameBytes) {
    const std::string bytes("binary\0data", 11);
    doc->NewDocument("1.0", "", "Root")->ReplaceTextByBinaryData(bytes.data(), bytes.size(), 8);
    const std::string text = doc->GetXML();
    EXPECT_EQ(text, std::string(Declaration1251) + "\r\n<Root>YmluYXJ5\r\nAGRhdGE=\r\n</Root>");

    IXmlDocument copy = new TXmlDocument(GlobalNameTable());
    copy->LoadXML(text);
    EXPECT_EQ(copy->GetDocumentElement()->GetTextAsBinaryData(), bytes);
}

TEST_F(SaveTest, InstructionDataKeepsItsBlanksThroughRepeatedLoadsAndSaves) {
    doc->LoadXML("<?pi some data?><?tight?><?wide \t x?>");
    EXPECT_EQ(doc->GetChildNodes()->GetItem(0)->GetText(), " some data");
    for (int round = 0; round < 3; ++round) {
        EXPECT_EQ(doc->GetXML(), "<?pi some data?><?tight?><?wide \t x?>");
        doc->LoadXML(doc->GetXML());
    }
    // Data made without a leading blank gets the separator.
    EXPECT_EQ(IXmlDocument(doc)->AppendProcessingInstruction("made", "x")->GetXML(), "<?made x?>");
}

}  // namespace
}  // namespace TolvexXml
