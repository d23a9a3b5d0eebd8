// Text and values of nodes: joining of child texts, trimming, held values,
// value types, code pages of wide text and the Base64 content of elements.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "xml/TolvexXml.h"

namespace TolvexXml {
namespace {

using Platform::Variant;

class NodeTextTest : public ::testing::Test {
protected:
    IXmlDocument doc = new TXmlDocument(GlobalNameTable());
    IXmlElement root = doc->AppendElement("Root");

    // Puts an XML declaration naming the encoding before the root element.
    void DeclareEncoding(const std::string& encoding) {
        IXmlProcessingInstruction declaration = doc->CreateProcessingInstruction("xml", "");
        declaration->SetAttrText("encoding", encoding);
        doc->InsertBefore(declaration, root);
    }
};

// One child of an element, described for a table of cases.
struct ChildSpec {
    std::int32_t type;
    std::string text;
};

struct JoinCase {
    const char* name;
    std::vector<ChildSpec> children;
    std::string joined;          // PreserveWhiteSpace false
    std::string joinedPreserved; // PreserveWhiteSpace true
};

class ElementTextJoinTest : public ::testing::TestWithParam<JoinCase> {};

TEST_P(ElementTextJoinTest, JoinsTheTextsOfTextAndCDataChildren) {
    for (bool preserve : {false, true}) {
        IXmlDocument doc = new TXmlDocument(GlobalNameTable());
        doc->PreserveWhiteSpace = preserve;
        IXmlElement element = doc->AppendElement("e");
        for (const ChildSpec& child : GetParam().children) {
            switch (child.type) {
                case TEXT_NODE: element->AppendText(child.text); break;
                case CDATA_SECTION_NODE: element->AppendCDATA(child.text); break;
                case COMMENT_NODE: element->AppendComment(child.text); break;
                case PROCESSING_INSTRUCTION_NODE: element->AppendProcessingInstruction("pi", child.text); break;
                case ELEMENT_NODE: element->AppendElement("child")->SetText(child.text); break;
            }
        }
        EXPECT_EQ(element->GetText(), preserve ? GetParam().joinedPreserved : GetParam().joined)
            << "PreserveWhiteSpace " << preserve;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Children, ElementTextJoinTest,
    ::testing::Values(
        JoinCase{"TextCDataElementText",
                 {{TEXT_NODE, "one"}, {CDATA_SECTION_NODE, "two"}, {ELEMENT_NODE, "skip"}, {TEXT_NODE, "three"}},
                 "onetwo three",
                 "onetwothree"},
        JoinCase{"TextsWithBlanks", {{TEXT_NODE, " a "}, {TEXT_NODE, "b"}}, " a  b", " a b"},
        JoinCase{"EmptyTextsAreSkipped", {{TEXT_NODE, ""}, {TEXT_NODE, "a"}, {TEXT_NODE, ""}, {TEXT_NODE, "b"}},
                 "a b",
                 "ab"},
        JoinCase{"CDataFirst", {{CDATA_SECTION_NODE, " c "}, {TEXT_NODE, "t"}}, " c  t", " c t"},
        JoinCase{"CommentsAndInstructionsDoNotCount",
                 {{COMMENT_NODE, "c"}, {TEXT_NODE, "a"}, {PROCESSING_INSTRUCTION_NODE, "p"}, {TEXT_NODE, "b"}},
                 "a b",
                 "ab"},
        JoinCase{"OnlyAChildElement", {{ELEMENT_NODE, "inner"}}, "", ""}),
    [](const auto& info) { return info.param.name; });

TEST_F(NodeTextTest, ElementInNoDocumentJoinsWithBlanks) {
    IXmlElement loose = doc->CreateElement("loose");
    loose->AppendText("a");
    loose->AppendText("b");
    EXPECT_EQ(loose->GetText(), "a b");
}

TEST_F(NodeTextTest, DocumentJoinsEveryTextWithABlank) {
    doc->PreserveWhiteSpace = true;
    doc->AppendText("a");
    doc->AppendCDATA("b");
    doc->AppendComment("c");
    EXPECT_EQ(doc->GetText(), "a b");
    EXPECT_EQ(IXmlDocument(new TXmlDocument(GlobalNameTable()))->GetText(), "");
}

TEST_F(NodeTextTest, HeldTextIsHiddenWhileChildrenExist) {
    root->SetText("held");
    EXPECT_EQ(root->GetText(), "held");
    IXmlElement child = doc->CreateElement("child");
    root->AppendChild(child);
    EXPECT_EQ(root->GetText(), "");
    EXPECT_EQ(root->RemoveChild(child), 0);
    EXPECT_EQ(root->GetText(), "held");
}

TEST_F(NodeTextTest, SetTextReplacesTheChildren) {
    root->AppendElement("a");
    root->AppendText("old");
    root->SetAttrText("keep", "1");
    root->SetText("new");
    EXPECT_EQ(root->GetChildNodes()->GetCount(), 0);
    EXPECT_EQ(root->GetText(), "new");
    EXPECT_EQ(root->GetAttrCount(), 1);
}

TEST_F(NodeTextTest, DocumentSetTextLeavesOneTextNode) {
    doc->SetAttrText("a", "1");
    doc->SetText("only");
    ASSERT_EQ(doc->GetChildNodes()->GetCount(), 1);
    EXPECT_EQ(doc->GetChildNodes()->GetItem(0)->GetNodeType(), TEXT_NODE);
    EXPECT_EQ(doc->GetText(), "only");
    EXPECT_EQ(doc->GetAttrCount(), 1);
}

TEST_F(NodeTextTest, CommentTextIsTrimmedUnlessWhiteSpaceIsPreserved) {
    const std::string padded = std::string("\t \r\n c d \x01\0", 11);
    IXmlComment comment = root->AppendComment(padded);
    IXmlCDATASection cdata = root->AppendCDATA(padded);
    EXPECT_EQ(comment->GetText(), "c d");
    EXPECT_EQ(cdata->GetText(), padded);
    doc->PreserveWhiteSpace = true;
    EXPECT_EQ(comment->GetText(), padded);
    EXPECT_EQ(doc->CreateComment("  x  ")->GetText(), "x");  // in no document: the default
    EXPECT_EQ(doc->CreateComment(" \t ")->GetText(), "");
}

TEST_F(NodeTextTest, TextNodeSetTextClearsRawText) {
    IXmlText text = root->AppendText("a");
    text->RawText = true;
    text->SetText("b");
    EXPECT_FALSE(text->RawText);
    text->RawText = true;
    text->SetValue(Variant::FromInt32(7));
    EXPECT_FALSE(text->RawText);
    EXPECT_EQ(text->GetText(), "7");
}

TEST_F(NodeTextTest, ProcessingInstructionTextIsItsData) {
    IXmlProcessingInstruction pi = root->AppendProcessingInstruction("target", "  data ");
    EXPECT_EQ(pi->GetText(), "  data ");
    pi->SetText("other");
    EXPECT_EQ(pi->GetText(), "other");
}

struct ValueCase {
    const char* name;
    Variant value;
    std::string text;
};

class HeldValueTextTest : public ::testing::TestWithParam<ValueCase> {};

TEST_P(HeldValueTextTest, ElementAndTextNodeShowTheXmlTextOfTheirValue) {
    IXmlDocument doc = new TXmlDocument(GlobalNameTable());
    IXmlElement element = doc->AppendElement("e");
    element->SetValue(GetParam().value);
    EXPECT_EQ(element->GetText(), GetParam().text);
    EXPECT_EQ(element->GetValue().Type(), GetParam().value.Type());
    EXPECT_EQ(doc->AppendElement("t")->AppendText("")->GetText(), "");
    IXmlText text = new TXmlText(&doc->NameTable(), GetParam().value);
    EXPECT_EQ(text->GetText(), GetParam().text);
    EXPECT_EQ(text->GetValueType(), GetParam().value.Type());
}

INSTANTIATE_TEST_SUITE_P(
    Values, HeldValueTextTest,
    ::testing::Values(ValueCase{"Integer", Variant::FromInt32(-5), "-5"},
                      ValueCase{"Int64", Variant::FromInt64(1234567890123), "1234567890123"},
                      ValueCase{"Double", Variant::FromDouble(1.5), "1.5"},
                      ValueCase{"BooleanTrue", Variant::FromBool(true), "1"},
                      ValueCase{"DateTime", Variant::FromDateTime(0.5), "1899-12-30T12:00:00"},
                      ValueCase{"Null", Variant::Null(), "{{null}}"},
                      ValueCase{"Bytes", Variant::FromBytes("Man"), "TWFu"},
                      ValueCase{"Text", Variant::FromString("a<b"), "a<b"}),
    [](const auto& info) { return info.param.name; });

TEST_F(NodeTextTest, ValueTypeAndValueOfAnElement) {
    EXPECT_EQ(root->GetValueType(), Platform::varString);
    EXPECT_TRUE(root->GetValue().IsEmpty());
    root->SetValue(Variant::FromInt32(3));
    EXPECT_EQ(root->GetValueType(), Platform::varInteger);
    root->AppendText("x");
    EXPECT_EQ(root->GetValueType(), Platform::varString);
    EXPECT_EQ(root->GetValue().RawString(), "x");
}

TEST_F(NodeTextTest, OtherNodesTakeValuesAsText) {
    IXmlComment comment = root->AppendComment("c");
    EXPECT_EQ(comment->GetValueType(), Platform::varString);
    comment->SetValue(Variant::FromInt32(42));
    EXPECT_EQ(comment->GetText(), "42");
    EXPECT_EQ(comment->GetValue().RawString(), "42");
    try {
        comment->SetValue(Variant::Null());
        ADD_FAILURE() << "Null has no text";
    } catch (const Platform::EVariantTypeCastError& e) {
        EXPECT_STREQ(e.what(), "Could not convert variant of type (Null) into type (String)");
    }
    EXPECT_EQ(comment->GetText(), "42");
}

TEST_F(NodeTextTest, WideTextUsesTheCodePageOfTheDocument) {
    DeclareEncoding("UTF-8");
    IXmlText text = root->AppendText("");
    text->SetValue(Variant::FromWide(u"\u0416"));
    EXPECT_EQ(text->GetText(), "\xd0\x96");
    EXPECT_EQ(doc->CachedCodePage, 65001u);
    // Cached: a changed declaration does not change the code page.
    doc->GetChildNodes()->GetItem(0)->SetAttrText("encoding", "windows-1251");
    EXPECT_EQ(text->GetText(), "\xd0\x96");
    doc->CachedCodePage = 0;
    EXPECT_EQ(text->GetText(), "\xc6");
    EXPECT_EQ(doc->GetCodePage(), 1251u);
}

TEST_F(NodeTextTest, UnknownEncodingIsLookedUpAgainEachTime) {
    DeclareEncoding("KOI8-R");
    EXPECT_EQ(doc->GetCodePage(), 0u);
    EXPECT_EQ(doc->CachedCodePage, 0u);
    doc->GetChildNodes()->GetItem(0)->SetAttrText("encoding", "cp866");
    EXPECT_EQ(doc->GetCodePage(), 866u);
}

TEST_F(NodeTextTest, BinaryDataReplacesOnlyTextAndCData) {
    root->AppendText("old");
    root->AppendComment("keep");
    root->AppendCDATA("old");
    const std::string bytes("\x00\x01\xfe\xff" "Man", 7);
    root->ReplaceTextByBinaryData(bytes.data(), bytes.size(), 0);
    IXmlNodeList children = root->GetChildNodes();
    ASSERT_EQ(children->GetCount(), 2);
    EXPECT_EQ(children->GetItem(0)->GetNodeType(), COMMENT_NODE);
    IXmlText data = children->GetItem(1)->AsText();
    ASSERT_TRUE(data);
    EXPECT_TRUE(data->RawText);
    EXPECT_EQ(data->GetText(), "AAH+/01hbg==");
    EXPECT_EQ(root->GetTextAsBinaryData(), bytes);
}

TEST_F(NodeTextTest, BinaryDataWithLineBreaksReadsBack) {
    std::string bytes;
    for (int i = 0; i < 200; ++i) bytes += static_cast<char>(i);
    root->ReplaceTextByBinaryData(bytes.data(), bytes.size(), 76);
    EXPECT_NE(root->GetText().find("\r\n"), std::string::npos);
    EXPECT_EQ(root->GetTextAsBinaryData(), bytes);
}

TEST_F(NodeTextTest, BinaryDataOnAHeldValueHidesIt) {
    root->SetText("held");
    root->ReplaceTextByBinaryData("M", 1, 0);
    EXPECT_EQ(root->GetChildNodes()->GetCount(), 1);
    EXPECT_EQ(root->GetText(), "TQ==");
    EXPECT_EQ(root->HeldValue().RawString(), "held");
}

TEST_F(NodeTextTest, BadBase64TextFails) {
    root->SetText("TWE");
    try {
        root->GetTextAsBinaryData();
        ADD_FAILURE() << "no failure";
    } catch (const TolvexXmlException& e) {
        EXPECT_STREQ(e.what(), "Bad Base64 format");
    }
}

}  // namespace
}  // namespace TolvexXml
