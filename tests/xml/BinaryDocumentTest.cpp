// Documents saved as binary XML images and loaded back from them.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/Stream.h"
#include "support/ExpectFailure.h"
#include "xml/TolvexXml.h"
#include "xml/XmlBinary.h"
#include "xml/XmlBinaryCodec.h"
#include "xml/XmlParser.h"

namespace TolvexXml {
namespace {

using Platform::Variant;

std::string Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (const int value : values) bytes += static_cast<char>(value);
    return bytes;
}

// Node type, name id, attributes, held value and children, compared in depth.
void ExpectSameTree(TXmlNode& expected, TXmlNode& actual, const std::string& path = "") {
    const std::string here = path + "/" + expected.GetNodeName();
    ASSERT_EQ(actual.GetNodeType(), expected.GetNodeType()) << here;
    EXPECT_EQ(actual.GetNameId(), expected.GetNameId()) << here;
    ASSERT_EQ(actual.GetAttrCount(), expected.GetAttrCount()) << here;
    for (std::int32_t i = 0; i < expected.GetAttrCount(); ++i) {
        EXPECT_EQ(actual.GetAttrData(i).NameId, expected.GetAttrData(i).NameId) << here;
        EXPECT_EQ(actual.GetAttrData(i).Value.Type(), expected.GetAttrData(i).Value.Type()) << here;
        EXPECT_TRUE(actual.GetAttrData(i).Value.ToVariant().Equals(expected.GetAttrData(i).Value.ToVariant())) << here;
    }
    if (expected.GetNodeType() != ELEMENT_NODE || !expected.HasChildren()) {
        EXPECT_EQ(actual.GetValueType(), expected.GetValueType()) << here;
        EXPECT_EQ(actual.GetText(), expected.GetText()) << here;
    }
    const std::int32_t count = expected.PeekChildList() ? expected.PeekChildList()->GetCount() : 0;
    ASSERT_EQ(actual.PeekChildList() ? actual.PeekChildList()->GetCount() : 0, count) << here;
    for (std::int32_t i = 0; i < count; ++i)
        ExpectSameTree(*expected.PeekChildList()->ItemAt(i), *actual.PeekChildList()->ItemAt(i), here);
}

class BinaryDocumentTest : public ::testing::Test {
protected:
    IXmlDocument doc = new TXmlDocument(GlobalNameTable());

    // A tree with every node kind and value kind.
    void BuildSample() {
        IXmlProcessingInstruction declaration = doc->AppendProcessingInstruction("xml", "");
        declaration->SetAttrText("version", "1.0");
        declaration->SetAttrText("encoding", "windows-1251");
        doc->AppendComment(" a comment ");
        IXmlElement root = doc->AppendElement("Root");
        root->SetAttrText("Text", "\xCF\xF0\xE8\xE2\xE5\xF2 & <more>");
        root->SetAttrInt64("CardCode", 1234567890123);
        root->SetAttrBool("Flag", true);
        root->SetAttrFloat("Float", 1.25);
        root->SetAttrDateTime("When", 45296.5);
        root->SetAttrValue("Wide", Variant::FromWide(u"\u041F\u0440"));
        root->SetAttrValue("Null", Variant::Null());
        root->SetAttrValue("Money", Variant::FromCurrency(12345678));
        root->SetAttrValue("Bytes", Variant::FromBytes(std::string("\0\1\2", 3), 7));
        root->SetAttrValue("", Variant::FromInt32(-1));  // the empty name has id -1
        IXmlElement child = root->AppendElement("Child");
        child->AppendText("text");
        child->AppendCDATA("cdata ]]");
        child->AppendElement("Empty");
        IXmlElement valued = root->AppendElement("Valued");
        valued->SetValue(Variant::FromInt64(INT64_MIN));
        IXmlProcessingInstruction instruction = root->AppendProcessingInstruction("app", "data text");
        instruction->SetAttrText("a", "b");
        for (int i = 0; i < 300; ++i) root->AppendElement("Item" + std::to_string(i))->SetAttrHex("Hex", i, 4);
    }

    IXmlDocument Reloaded(const std::string& image) {
        IXmlDocument loaded = new TXmlDocument(GlobalNameTable());
        loaded->LoadBinaryXML(image);
        return loaded;
    }
};

TEST_F(BinaryDocumentTest, ANewDocumentGivesTheKnownImage) {
    const std::string expected =
        "< binary-xml >" + Bytes({0, 0, 0, 0, 5}) + "\x05#text" + "\x0E#cdata-section" + "\x08#comment" +
        "\x09#document" + "\x03xml" +
        Bytes({0x90, 0x00, 0x05, 0x83, 0x28, 0x01, 0, 0, 0, 0, 0x87, 0xB6, 0x01, 2, 0, 0, 0, 0x8A, 0xC2, 0x01, 1, 0,
               0, 0, 0x8C, 0xF1, 0x01, 4, 0, 0, 0, 0x8D, 0x82, 0x01, 3, 0, 0, 0, 0x00, 0x00});
    const std::string image = doc->GetBinaryXML();
    EXPECT_EQ(image.size(), 103u);
    EXPECT_EQ(image, expected);
}

TEST_F(BinaryDocumentTest, LoadingTheImageGivesBackTheTreeAndTheNameTable) {
    BuildSample();
    const std::string image = doc->GetBinaryXML();
    IXmlDocument loaded = Reloaded(image);
    ExpectSameTree(*doc, *loaded);
    EXPECT_EQ(loaded->NameTable().Names(), doc->NameTable().Names());
    EXPECT_EQ(loaded->NameTable().Buckets(), doc->NameTable().Buckets());
    EXPECT_EQ(loaded->GetBinaryXML(), image);
    EXPECT_EQ(loaded->GetXML(), doc->GetXML());
    EXPECT_NE(loaded->GetNameTable().Get(), doc->GetNameTable().Get());
    // The loaded table keeps working: a new name gets the next id.
    EXPECT_EQ(loaded->NameTable().NameToId("Root", false), doc->NameTable().NameToId("Root", false));
    EXPECT_EQ(loaded->NameTable().NameToId("Fresh", false), doc->NameTable().NameCount());
}

TEST_F(BinaryDocumentTest, WideStringOptionStoresNamesAsUtf16AndReadsThemBack) {
    BuildSample();
    Platform::TMemoryStream narrow;
    Platform::TMemoryStream wide;
    doc->SaveBinaryToStream(narrow, 0);
    doc->SaveBinaryToStream(wide, BinaryXmlWideStrings);
    EXPECT_EQ(std::string(narrow.Bytes()), doc->GetBinaryXML());
    EXPECT_GT(wide.GetSize(), narrow.GetSize());
    EXPECT_NE(std::string(wide.Bytes()).find(std::string("R\0o\0o\0t\0", 8)), std::string::npos);
    EXPECT_EQ(std::string(wide.Bytes().substr(14, 4)), Bytes({1, 0, 0, 0}));
    ExpectSameTree(*doc, *Reloaded(std::string(wide.Bytes())));
}

TEST_F(BinaryDocumentTest, StreamLoadingReadsTheImageAfterTheSignature) {
    BuildSample();
    // Large enough to cross the reader's 65536-byte blocks.
    doc->GetDocumentElement()->AppendText(std::string(200000, 'x'));
    Platform::TMemoryStream stream;
    doc->SaveBinaryToStream(stream, 0);
    stream.Seek(14, Platform::SeekOrigin::Beginning);
    IXmlDocument loaded = new TXmlDocument(GlobalNameTable());
    LoadBinaryXmlFromStream(*loaded, stream);
    ExpectSameTree(*doc, *loaded);
}

TEST_F(BinaryDocumentTest, FileSaveReplacesTheFile) {
    BuildSample();
    const std::string fileName = testing::TempDir() + "binary_document_test.bxml";
    {
        Platform::TFileStream old(fileName, Platform::FileStreamMode::Create);
        old.WriteBuffer(std::string(500000, 'z').data(), 500000);
    }
    doc->SaveBinaryToFile(fileName, 0);
    Platform::TFileStream file(fileName, Platform::FileStreamMode::OpenRead);
    EXPECT_EQ(file.GetSize(), static_cast<std::int64_t>(doc->GetBinaryXML().size()));
    char signature[14];
    file.ReadBuffer(signature, sizeof signature);
    IXmlDocument loaded = new TXmlDocument(GlobalNameTable());
    LoadBinaryXmlFromStream(*loaded, file);
    ExpectSameTree(*doc, *loaded);
    std::remove(fileName.c_str());
}

TEST_F(BinaryDocumentTest, AnElementWithChildrenIsWrittenWithoutItsHeldValue) {
    IXmlElement root = doc->AppendElement("Root");
    root->SetValue(Variant::FromInt32(5));
    root->AppendCDATA("shown");
    IXmlDocument loaded = Reloaded(doc->GetBinaryXML());
    auto& element = static_cast<TXmlElement&>(*loaded->GetDocumentElement());
    EXPECT_TRUE(element.HeldValue().IsEmpty());
    EXPECT_EQ(element.GetText(), "shown");
}

TEST_F(BinaryDocumentTest, RawTextComesBackAsOrdinaryText) {
    IXmlElement root = doc->AppendElement("Root");
    root->ReplaceTextByBinaryData("Man<>", 5, 4);
    IXmlDocument loaded = Reloaded(doc->GetBinaryXML());
    IXmlText text = loaded->GetDocumentElement()->GetChildNodes()->GetItem(0)->AsText();
    ASSERT_TRUE(text);
    EXPECT_FALSE(text->RawText);
    EXPECT_EQ(loaded->GetDocumentElement()->GetTextAsBinaryData(), "Man<>");
}

TEST_F(BinaryDocumentTest, LoadingReplacesTheContentAndTheNameTable) {
    IXmlDocument source = new TXmlDocument(GlobalNameTable());
    source->AppendElement("New");
    doc->AppendElement("Old")->AppendText("old");
    doc->SetAttrText("stale", "1");
    const TXmlNameTable* oldTable = doc->GetNameTable().Get();
    doc->LoadBinaryXML(source->GetBinaryXML());
    EXPECT_EQ(doc->GetAttrCount(), 0);
    EXPECT_EQ(doc->GetChildNodes()->GetCount(), 1);
    EXPECT_EQ(doc->GetDocumentElement()->GetNodeName(), "New");
    EXPECT_NE(doc->GetNameTable().Get(), oldTable);
}

// Hostile images: each must fail with the library's failure, never crash or hang.
class HostileImage : public BinaryDocumentTest {
protected:
    // The image of a new document with the given content section instead of 00 00.
    std::string WithContent(const std::string& content) {
        const std::string image = doc->GetBinaryXML();
        return image.substr(0, image.size() - 2) + content;
    }

    void ExpectLoadFails(const std::string& image, const std::string& message) {
        ExpectFailure<TolvexXmlException>([&] { Reloaded(image); }, message);
    }
};

TEST_F(HostileImage, EveryTruncationFailsWithTheReadError) {
    BuildSample();
    const std::string image = doc->GetBinaryXML();
    for (std::size_t size = 0; size < image.size(); size += size < 400 ? 1 : 97)
        ExpectLoadFails(image.substr(0, size), "Error reading data.");
}

TEST_F(HostileImage, BadNodeTypesAndValueTypesFail) {
    ExpectLoadFails(WithContent(Bytes({0, 1, 2, 0})), "Ошибка чтения двоичного XML: некорректный тип узла");
    ExpectLoadFails(WithContent(Bytes({0, 1, 9, 0})), "Ошибка чтения двоичного XML: некорректный тип узла");
    ExpectLoadFails(WithContent(Bytes({0, 1, 3, 9})), "Error reading value: bad type.");
}

TEST_F(HostileImage, OversizedCountsFailAndNegativeRecordCountsMeanNone) {
    ExpectLoadFails(WithContent(Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 0})), "Error reading data.");
    ExpectLoadFails(WithContent(Bytes({0, 0x7E, 3, 0})), "Error reading data.");
    // A name count far beyond the image.
    ExpectLoadFails("< binary-xml >" + Bytes({0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0x0F, 1, 'a'}), "Error reading data.");
    // Attributes and children are read while the count lasts: below 1, there are none.
    IXmlDocument loaded = Reloaded(WithContent(Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x80})));
    EXPECT_EQ(loaded->GetAttrCount(), 0);
    EXPECT_EQ(loaded->GetChildNodes()->GetCount(), 0);
}

TEST_F(HostileImage, NameIdsOutsideTheTableFail) {
    ExpectLoadFails(WithContent(Bytes({0, 1, 1, 5, 0, 0, 0})), "Error reading binary XML: bad name id.");
    ExpectLoadFails(WithContent(Bytes({1, 0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0, 0})),
                    "Error reading binary XML: bad name id.");
    ExpectLoadFails(WithContent(Bytes({0, 1, 7, 0x7E, 0xFF, 0, 0, 0})), "Error reading binary XML: bad name id.");
}

TEST_F(HostileImage, BadBucketsFail) {
    const std::string names = "< binary-xml >" + Bytes({0, 0, 0, 0, 1, 1, 'a'});
    const std::string bad[] = {
        names + Bytes({0, 0, 0, 0}),                                 // no bucket
        names + Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 0, 0, 0}),      // 2^31 - 1 buckets
        names + Bytes({0xFF, 0x01, 0x00, 0x10, 0x00, 0, 0, 0}),      // 2^20 + 1 buckets
        names + Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0}),      // -1 buckets
        names + Bytes({4, 1, 4, 1, 0, 0, 0, 0, 0, 0}),               // bucket index beyond the count
        names + Bytes({4, 1, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0, 0, 0, 0}),  // negative bucket index
    };
    for (const std::string& image : bad) ExpectLoadFails(image, "Error reading binary XML: bad name table.");
}

// Images made by hand, from the 103-byte image of a new document, that the library
// would not write itself but reads as stored.
class HandMadeImage : public HostileImage {
protected:
    static constexpr std::size_t BucketCountAt = 63;  // 90 00
    static constexpr std::size_t FirstBucketAt = 66;  // five entries of 7 bytes
    static constexpr std::size_t BucketEntrySize = 7;

    std::string Canonical() { return doc->GetBinaryXML(); }
    std::string Entry(std::size_t index) { return Canonical().substr(FirstBucketAt + index * BucketEntrySize, BucketEntrySize); }
    // The canonical image with the listed-bucket count and the entries replaced.
    std::string WithBuckets(int listed, const std::string& entries) {
        const std::string image = Canonical();
        return image.substr(0, FirstBucketAt - 1) + static_cast<char>(listed) + entries + Bytes({0, 0});
    }
};

TEST_F(HandMadeImage, StoredBucketCountsUpToTheBoundAreTaken) {
    for (const std::string& count : {Bytes({0x90, 0x01}), Bytes({0xFF, 0x00, 0x00, 0x10, 0x00})}) {
        std::string image = Canonical();
        image.replace(BucketCountAt, 2, count);
        IXmlDocument loaded = Reloaded(image);
        EXPECT_EQ(loaded->NameTable().Buckets().size(), count.size() == 2 ? 4097u : 1048576u);
        EXPECT_EQ(loaded->NameTable().Buckets()[808], TNameIndexArray{0});
        EXPECT_EQ(loaded->GetBinaryXML(), image);
    }
}

TEST_F(HandMadeImage, BucketListingsAreTakenAsListed) {
    const std::string swappedHead = Entry(1) + Entry(0) + Entry(2) + Entry(3) + Entry(4);
    const std::string repeated = Entry(0) + Entry(1) + Entry(2) + Entry(3) + Entry(4) + Entry(0);
    // 808 first with #text (0) alone, then again with 0, 7 and -1: the later listing holds.
    const std::string relisted = repeated.substr(0, 5 * BucketEntrySize) + Bytes({0x83, 0x28, 3, 0, 0, 0, 0, 7, 0, 0, 0}) +
                                 Bytes({0xFF, 0xFF, 0xFF, 0xFF});
    const struct {
        const char* name;
        std::string image;
        TNameIndexArray bucket808;
        bool canonicalBack;
    } cases[] = {
        {"first two swapped", WithBuckets(5, swappedHead), {0}, true},
        {"a bucket listed twice alike", WithBuckets(6, repeated), {0}, true},
        {"a later listing with ids beyond the names", WithBuckets(6, relisted), {0, 7, -1}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        IXmlDocument loaded = Reloaded(c.image);
        EXPECT_EQ(loaded->NameTable().Buckets()[808], c.bucket808);
        // Lookups pass over ids outside the names and find the stored ones.
        EXPECT_EQ(loaded->NameTable().NameToId("#text", false), 0);
        EXPECT_EQ(loaded->NameTable().NameToId("xml", false), 4);
        const std::string back = loaded->GetBinaryXML();
        if (c.canonicalBack) {
            EXPECT_EQ(back, Canonical());
        } else {
            EXPECT_EQ(back.size(), Canonical().size() + 8);
        }
    }
}

TEST_F(HandMadeImage, ARecordFailsWithItsOwnMessageWhateverItsCountClaims) {
    const std::string nodeType = "Ошибка чтения двоичного XML: некорректный тип узла";
    const struct {
        const char* name;
        std::string content;
        std::string message;
    } cases[] = {
        {"bad node type as the last byte", Bytes({0, 1, 2}), nodeType},
        {"bad node type, more children claimed", Bytes({0, 3, 2}), nodeType},
        {"bad node type in a nested element", Bytes({0, 1, 1, 4, 0, 0, 2, 9}), nodeType},
        {"bad value type, more attributes claimed", Bytes({2, 4, 9}), "Error reading value: bad type."},
        {"bad name id, more attributes claimed", Bytes({3, 9}), "Error reading binary XML: bad name id."},
        {"the last child missing", Bytes({0, 2, 8, 0}), "Error reading data."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectLoadFails(WithContent(c.content), c.message);
    }
}

TEST_F(HostileImage, DeepNestingFailsWithinTheParsersBound) {
    // Element records (type 1, name id 4, empty value, no attributes, one child) nested deeply.
    std::string content = Bytes({0, 1});
    for (int i = 0; i < MaxElementDepth; ++i) content += Bytes({1, 4, 0, 0, 1});
    ExpectLoadFails(WithContent(content + Bytes({1, 4, 0, 0, 0})), MaxDepthMessage);

    std::string allowed = Bytes({0, 1});
    for (int i = 0; i < MaxElementDepth - 1; ++i) allowed += Bytes({1, 4, 0, 0, 1});
    EXPECT_NO_THROW(Reloaded(WithContent(allowed + Bytes({1, 4, 0, 0, 0}))));
}

TEST_F(HostileImage, AFailedLoadKeepsWhatWasRead) {
    doc->AppendElement("A");
    doc->AppendElement("B");
    std::string image = doc->GetBinaryXML();
    image.resize(image.size() - 3);  // the last element record cut short
    IXmlDocument loaded = new TXmlDocument(GlobalNameTable());
    EXPECT_THROW(loaded->LoadBinaryXML(image), TolvexXmlException);
    ASSERT_EQ(loaded->GetChildNodes()->GetCount(), 2);
    EXPECT_EQ(loaded->GetChildNodes()->GetItem(0)->GetNodeName(), "A");
}

}  // namespace
}  // namespace TolvexXml
