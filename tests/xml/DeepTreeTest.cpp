// Trees built in code far deeper than a load allows: every walk over a tree
// (rendering, saving with a handler, deep cloning, moving to another name table,
// binary writing, text joining) runs on a thread with a host's 1 MiB stack and
// must not need stack in proportion to the depth.
#include <gtest/gtest.h>

#include <string>

#include "platform/Stream.h"
#include "support/StackSizedThread.h"
#include "xml/TolvexXml.h"
#include "xml/TolvexXmlUnit.h"
#include "xml/XmlParser.h"

namespace TolvexXml {
namespace {

using TolvexTest::HostThreadStackSize;
using TolvexTest::RunWithStackSize;

constexpr int DeepLevels = 100000;

std::string Repeated(const std::string& piece, int count) {
    std::string text;
    text.reserve(piece.size() * static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) text += piece;
    return text;
}

// A chain of `levels` elements below the node: "a" elements, the last one "leaf".
IXmlElement AppendChain(const IXmlNode& top, int levels) {
    IXmlNode node = top;
    for (int level = 1; level < levels; ++level) node = node->AppendElement("a");
    return node->AppendElement("leaf");
}

// The number of elements from the node down its first children.
int ChainLength(const IXmlNode& top) {
    int length = 0;
    for (TXmlNode* node = top.Get(); node->HasChildren(); node = node->PeekChildList()->ItemAt(0)) ++length;
    return length;
}

class DeepTreeTest : public ::testing::Test {
protected:
    IXmlDocument doc = new TXmlDocument(GlobalNameTable());
};

TEST_F(DeepTreeTest, CompactRenderingOfAnyDepth) {
    doc->PreserveWhiteSpace = true;
    AppendChain(doc, DeepLevels);
    std::string xml;
    RunWithStackSize(HostThreadStackSize, [&] { xml = doc->GetXML(); });
    const std::string expected = Repeated("<a>", DeepLevels - 1) + "<leaf/>" + Repeated("</a>", DeepLevels - 1);
    EXPECT_EQ(xml.size(), expected.size());
    EXPECT_TRUE(xml == expected) << xml.substr(0, 100);
}

TEST_F(DeepTreeTest, IndentedRenderingOfAnyDepth) {
    // Indentation grows with the square of the depth, so this tree is shallower,
    // and the thread's stack smaller in proportion.
    constexpr int levels = 3000;
    AppendChain(doc, levels);
    std::string xml;
    RunWithStackSize(HostThreadStackSize / 8, [&] { xml = doc->GetXML(); });
    std::string expected;
    for (int depth = 0; depth < levels - 1; ++depth) expected += "\r\n" + std::string(depth, '\t') + "<a>";
    expected += "\r\n" + std::string(levels - 1, '\t') + "<leaf/>";
    for (int depth = levels - 2; depth >= 0; --depth) expected += "\r\n" + std::string(depth, '\t') + "</a>";
    EXPECT_EQ(xml.size(), expected.size());
    EXPECT_TRUE(xml == expected) << xml.substr(0, 100);
}

TEST_F(DeepTreeTest, SavingWithAHandlerAtTheBottom) {
    doc->PreserveWhiteSpace = true;
    AppendChain(doc, DeepLevels);
    Platform::TMemoryStream stream;
    int asked = 0;
    RunWithStackSize(HostThreadStackSize, [&] {
        doc->SaveToStreamWithHandler(stream, "leaf", [&asked](const IXmlElement&, std::string& content) {
            ++asked;
            content = "<x/>";
        });
    });
    EXPECT_EQ(asked, 1);
    const std::string expected =
        Repeated("<a>", DeepLevels - 1) + "<leaf><x/></leaf>" + Repeated("</a>", DeepLevels - 1);
    EXPECT_TRUE(stream.Bytes() == expected);
    // The rendering state is back: a rendering after the save asks no handler.
    EXPECT_EQ(doc->GetXML().find("<x/>"), std::string::npos);
}

TEST_F(DeepTreeTest, DeepCloneOfAnyDepth) {
    IXmlElement root = doc->AppendElement("a");
    IXmlElement leaf = AppendChain(root, DeepLevels - 1);
    leaf->SetText("held");
    leaf->SetAttrInt64("n", 7);
    IXmlNode clone;
    RunWithStackSize(HostThreadStackSize, [&] { clone = root->CloneNode(true); });
    ASSERT_TRUE(clone);
    EXPECT_FALSE(clone == root);
    EXPECT_FALSE(clone->GetParentNode());
    EXPECT_EQ(ChainLength(clone), DeepLevels - 1);
    TXmlNode* cloneLeaf = clone.Get();
    while (cloneLeaf->HasChildren()) cloneLeaf = cloneLeaf->PeekChildList()->ItemAt(0);
    EXPECT_NE(cloneLeaf, leaf.Get());
    EXPECT_EQ(cloneLeaf->GetNodeName(), "leaf");
    EXPECT_EQ(cloneLeaf->GetText(), "held");
    EXPECT_EQ(cloneLeaf->GetAttrInt64("n", 0), 7);
    // Releasing the clone leaves the original whole.
    RunWithStackSize(HostThreadStackSize, [&] { clone = nullptr; });
    EXPECT_EQ(ChainLength(root), DeepLevels - 1);
}

TEST_F(DeepTreeTest, DeepDocumentCloneOfAnyDepth) {
    AppendChain(doc, DeepLevels);
    IXmlNode clone;
    RunWithStackSize(HostThreadStackSize, [&] { clone = doc->CloneNode(true); });
    EXPECT_EQ(clone->GetNodeType(), DOCUMENT_NODE);
    EXPECT_EQ(ChainLength(clone), DeepLevels);
}

TEST_F(DeepTreeTest, MovingADeepSubtreeToAnotherNameTable) {
    IXmlElement top = doc->CreateElement("a");
    IXmlElement leaf = AppendChain(top, DeepLevels);
    leaf->SetAttrText("attr", "v");
    IXmlDocument other = new TXmlDocument(GlobalNameTable());
    IXmlElement otherRoot = other->AppendElement("other-root");
    ASSERT_NE(&other->NameTable(), &doc->NameTable());
    RunWithStackSize(HostThreadStackSize, [&] { otherRoot->AppendChild(top); });
    EXPECT_EQ(&leaf->NameTable(), &other->NameTable());
    EXPECT_EQ(leaf->GetNodeName(), "leaf");
    EXPECT_EQ(leaf->GetAttrName(0), "attr");
    EXPECT_EQ(leaf->GetNameId(), other->NameTable().NameToId("leaf", false));
    EXPECT_EQ(ChainLength(otherRoot), DeepLevels + 1);
}

TEST_F(DeepTreeTest, BinaryImageOfAnyDepthIsWrittenAndRefusedOnLoad) {
    AppendChain(doc, DeepLevels);
    std::string image;
    RunWithStackSize(HostThreadStackSize, [&] { image = doc->GetBinaryXML(); });
    // Each element record: type, name id, empty value, no attributes, one child.
    EXPECT_GT(image.size(), static_cast<std::size_t>(DeepLevels) * 5);
    IXmlDocument loaded = new TXmlDocument(GlobalNameTable());
    try {
        loaded->LoadBinaryXML(image);
        FAIL() << "no failure";
    } catch (const TolvexXmlException& failure) {
        EXPECT_STREQ(failure.what(), MaxDepthMessage);
    }
}

// Counts the text of child elements in while it lives.
class ChildElementTextCounts {
public:
    ChildElementTextCounts() { TextExcludesElements = false; }
    ~ChildElementTextCounts() { TextExcludesElements = true; }
    ChildElementTextCounts(const ChildElementTextCounts&) = delete;
    ChildElementTextCounts& operator=(const ChildElementTextCounts&) = delete;
};

TEST_F(DeepTreeTest, ChildElementTextsJoinByTheElementRules) {
    const ChildElementTextCounts counted;
    IXmlElement root = doc->AppendElement("root");
    root->AppendText(" t1 ");
    IXmlElement inner = root->AppendElement("b");
    inner->AppendCDATA("c");
    inner->AppendText("x");
    root->AppendElement("v")->SetText("v");
    root->AppendComment("skipped");
    root->AppendElement("empty");
    EXPECT_EQ(root->GetText(), " t1  c x v");
    EXPECT_EQ(doc->GetText(), " t1  c x v");
    doc->PreserveWhiteSpace = true;
    EXPECT_EQ(root->GetText(), " t1 cxv");
}

TEST_F(DeepTreeTest, TextJoiningThatCountsChildElementsAtAnyDepth) {
    IXmlElement root = doc->AppendElement("a");
    IXmlElement leaf = AppendChain(root, DeepLevels - 1);
    leaf->AppendText("bottom");
    root->AppendText("top");
    std::string text;
    {
        const ChildElementTextCounts counted;
        RunWithStackSize(HostThreadStackSize, [&] { text = root->GetText(); });
    }
    EXPECT_EQ(text, "bottom top");
}

}  // namespace
}  // namespace TolvexXml
