// Copies of nodes: shallow and deep, per node kind.
#include <gtest/gtest.h>

#include <string>

#include "xml/TolvexXml.h"

namespace TolvexXml {
namespace {

using Platform::Variant;

class NodeCloneTest : public ::testing::Test {
protected:
    IXmlDocument doc = new TXmlDocument(GlobalNameTable());
    IXmlElement root = doc->AppendElement("Root");
};

TEST_F(NodeCloneTest, ShallowElementCopiesAttributesButNoChildren) {
    root->SetAttrText("a", "1");
    root->SetAttrInt64("b", 2);
    root->AppendElement("child");
    IXmlNode copy = root->CloneNode(false);
    EXPECT_EQ(copy->GetNodeName(), "Root");
    EXPECT_FALSE(copy->GetParentNode());
    EXPECT_EQ(copy->GetAttrCount(), 2);
    EXPECT_EQ(copy->GetAttrText("b", ""), "2");
    EXPECT_EQ(copy->GetChildNodes()->GetCount(), 0);
    EXPECT_EQ(&copy->NameTable(), &root->NameTable());
    // The attributes are copies: changing them leaves the source alone.
    copy->SetAttrText("a", "changed");
    EXPECT_EQ(root->GetAttrText("a", ""), "1");
}

TEST_F(NodeCloneTest, DeepElementCopiesTheSubtree) {
    IXmlElement child = root->AppendElement("child");
    child->SetAttrText("k", "v");
    child->AppendText("text");
    child->AppendCDATA("cdata");
    child->AppendComment("comment");
    child->AppendProcessingInstruction("pi", "data");
    IXmlNode copy = root->CloneNode(true);
    IXmlNode copiedChild = copy->SelectElement("child");
    ASSERT_TRUE(copiedChild);
    EXPECT_FALSE(copiedChild == child);
    EXPECT_TRUE(copiedChild->GetParentNode() == copy);
    EXPECT_EQ(copiedChild->GetAttrText("k", ""), "v");
    IXmlNodeList kids = copiedChild->GetChildNodes();
    ASSERT_EQ(kids->GetCount(), 4);
    const std::int32_t types[] = {TEXT_NODE, CDATA_SECTION_NODE, COMMENT_NODE, PROCESSING_INSTRUCTION_NODE};
    const char* texts[] = {"text", "cdata", "comment", "data"};
    for (std::int32_t i = 0; i < 4; ++i) {
        EXPECT_EQ(kids->GetItem(i)->GetNodeType(), types[i]);
        EXPECT_EQ(kids->GetItem(i)->GetText(), texts[i]);
    }
    EXPECT_EQ(kids->GetItem(3)->GetNodeName(), "pi");
    // The source keeps its own children.
    EXPECT_EQ(child->GetChildNodes()->GetCount(), 4);
    EXPECT_TRUE(child->GetParentNode() == root);
}

TEST_F(NodeCloneTest, DeepElementKeepsAHeldValue) {
    root->SetValue(Variant::FromInt32(12));
    EXPECT_EQ(root->CloneNode(true)->GetValue().RawInteger(), 12);
    EXPECT_TRUE(root->CloneNode(false)->GetValue().IsEmpty());
}

TEST_F(NodeCloneTest, TextCopyHasTheValueButNotRawText) {
    IXmlText text = root->AppendText("");
    text->SetValue(Variant::FromDouble(2.5));
    text->RawText = true;
    IXmlText copy = text->CloneNode(false)->AsText();
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->GetValueType(), Platform::varDouble);
    EXPECT_EQ(copy->GetText(), "2.5");
    EXPECT_FALSE(copy->RawText);
}

TEST_F(NodeCloneTest, InstructionCopyKeepsTargetDataAndAttributes) {
    IXmlProcessingInstruction declaration = doc->CreateProcessingInstruction("xml", "");
    declaration->SetAttrText("version", "1.0");
    declaration->SetAttrText("encoding", "UTF-8");
    IXmlNode copy = declaration->CloneNode(true);
    EXPECT_EQ(copy->GetNodeName(), "xml");
    EXPECT_EQ(copy->GetText(), "");
    EXPECT_EQ(copy->GetAttrText("encoding", ""), "UTF-8");
    EXPECT_EQ(copy->GetAttrName(0), "version");
}

TEST_F(NodeCloneTest, DeepDocumentSharesTheNameTable) {
    IXmlProcessingInstruction declaration = doc->CreateProcessingInstruction("xml", "");
    declaration->SetAttrText("encoding", "UTF-8");
    doc->InsertBefore(declaration, root);
    root->AppendElement("child")->SetText("x");
    doc->PreserveWhiteSpace = true;
    IXmlNode copy = doc->CloneNode(true);
    ASSERT_EQ(copy->GetNodeType(), DOCUMENT_NODE);
    EXPECT_EQ(&copy->NameTable(), &doc->NameTable());
    EXPECT_EQ(copy->GetChildNodes()->GetCount(), 2);
    IXmlDocument copiedDoc = copy->GetOwnerDocument();
    EXPECT_FALSE(copiedDoc->PreserveWhiteSpace);  // a new document takes the default
    EXPECT_EQ(copiedDoc->GetDocumentElement()->SelectElement("child")->GetText(), "x");
    EXPECT_EQ(copiedDoc->GetCodePage(), 65001u);
    EXPECT_EQ(doc->CloneNode(false)->GetChildNodes()->GetCount(), 0);
}

TEST_F(NodeCloneTest, LooseCopyOutlivesItsSource) {
    IXmlNode copy;
    {
        IXmlDocument local = new TXmlDocument(GlobalNameTable());
        local->AppendElement("Root")->AppendElement("child")->SetAttrText("a", "1");
        copy = local->GetDocumentElement()->CloneNode(true);
    }
    EXPECT_EQ(copy->SelectElement("child")->GetAttrText("a", ""), "1");
}

}  // namespace
}  // namespace TolvexXml
