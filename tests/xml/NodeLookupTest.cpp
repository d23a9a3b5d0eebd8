// Finding children: by name id, by simple name, by path, by attribute value.
#include <gtest/gtest.h>

#include <string>

#include "xml/TolvexXml.h"

namespace TolvexXml {
namespace {

using Platform::Variant;

// Root
//   <?Root?>  text  a#a1( b#a1b )  a#a2( b#a2b c#a2c )  Item#i1 Item#i2 Item#i3 Item#i4 Item#i5
class NodeLookupTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = doc->AppendElement("Root");
        root->SetAttrText("tag", "self");
        root->AppendProcessingInstruction("Root", "");
        root->AppendText("text");
        Tagged(Tagged(root, "a", "a1"), "b", "a1b");
        IXmlElement a2 = Tagged(root, "a", "a2");
        Tagged(a2, "b", "a2b");
        Tagged(a2, "c", "a2c");
        Tagged(root, "Item", "i1")->SetAttrText("code", "1");
        Tagged(root, "Item", "i2")->SetAttrText("code", "2");
        Tagged(root, "Item", "i3")->SetAttrText("code", "x");
        Tagged(root, "Item", "i4")->SetAttrValue("code", Variant());
        Tagged(root, "Item", "i5")->SetAttrValue("code", Variant::Null());
    }

    static IXmlElement Tagged(const IXmlNode& parent, const std::string& name, const std::string& tag) {
        IXmlElement element = parent->AppendElement(name);
        element->SetAttrText("tag", tag);
        return element;
    }
    static std::string TagOf(const IXmlNode& node) { return node ? node->GetAttrText("tag", "?") : ""; }

    IXmlDocument doc = new TXmlDocument(GlobalNameTable());
    IXmlElement root;
};

struct PathCase {
    const char* name;
    std::string path;
    std::string tag;  // "" when nothing is found
};

class SelectElementTest : public NodeLookupTest, public ::testing::WithParamInterface<PathCase> {};

TEST_P(SelectElementTest, FindsTheElementOfThePath) { EXPECT_EQ(TagOf(root->SelectElement(GetParam().path)), GetParam().tag); }

INSTANTIATE_TEST_SUITE_P(
    Paths, SelectElementTest,
    ::testing::Values(PathCase{"SimpleName", "a", "a1"}, PathCase{"TwoSegments", "a/b", "a1b"},
                      PathCase{"OnlyTheFirstMatchIsWalked", "a/c", ""}, PathCase{"Empty", "", "self"},
                      PathCase{"LeadingSlash", "/a/b", "a1b"}, PathCase{"DoubledSlash", "a//b", "a1b"},
                      PathCase{"TrailingSlash", "a/b/", "a1b"}, PathCase{"OnlySlashes", "//", "self"},
                      PathCase{"InstructionOfThatNameIsSkipped", "Root", ""},
                      PathCase{"FirstLetterTolerant", "A/B", "a1b"}, PathCase{"Missing", "missing", ""},
                      PathCase{"MissingSecondSegment", "a/missing", ""},
                      PathCase{"SegmentWithABlank", "a b", ""}, PathCase{"PathSegmentWithABlank", "a/ b", ""},
                      PathCase{"SegmentWithAStar", "*", ""}, PathCase{"TextIsNoElement", "#text", ""}),
    [](const auto& info) { return info.param.name; });

TEST_F(NodeLookupTest, SelectNodesListsTheMatchingElements) {
    IXmlNodeList items = root->SelectNodes("item");
    ASSERT_EQ(items->GetCount(), 5);
    EXPECT_EQ(TagOf(items->GetItem(0)), "i1");
    EXPECT_EQ(TagOf(items->GetItem(4)), "i5");
    EXPECT_EQ(root->SelectNodes("Root")->GetCount(), 0);
    EXPECT_EQ(doc->CreateElement("fresh")->SelectNodes("x")->GetCount(), 0);
}

TEST_F(NodeLookupTest, SelectNodesRejectsExpressions) {
    for (const char* expression : {"a/b", "", "*", "a b"}) {
        try {
            root->SelectNodes(expression);
            ADD_FAILURE() << expression;
        } catch (const TolvexXmlException& e) {
            EXPECT_STREQ(e.what(), "Select node by expression is not implemented in TolvexXml");
        }
    }
}

struct FindCase {
    const char* name;
    Variant value;
    std::string tag;
};

class FindElementTest : public NodeLookupTest, public ::testing::WithParamInterface<FindCase> {};

TEST_P(FindElementTest, FindsTheFirstElementWithThatAttributeValue) {
    EXPECT_EQ(TagOf(root->FindElement("Item", "code", GetParam().value)), GetParam().tag);
}

INSTANTIATE_TEST_SUITE_P(Values, FindElementTest,
                         ::testing::Values(FindCase{"Text", Variant::FromString("2"), "i2"},
                                           FindCase{"NumberAgainstText", Variant::FromInt32(2), "i2"},
                                           FindCase{"UncomparableTextIsSkipped", Variant::FromInt32(7), ""},
                                           FindCase{"Empty", Variant(), "i4"},
                                           FindCase{"Null", Variant::Null(), "i5"},
                                           FindCase{"NoMatch", Variant::FromString("9"), ""}),
                         [](const auto& info) { return info.param.name; });

TEST_F(NodeLookupTest, FindElementNeedsAnExistingChildList) {
    IXmlElement fresh = doc->CreateElement("fresh");
    EXPECT_FALSE(fresh->FindElement("Item", "code", Variant::FromString("1")));
    EXPECT_EQ(fresh->PeekChildList(), nullptr);
    EXPECT_FALSE(root->FindElement("Item", "absent", Variant()));
}

TEST_F(NodeLookupTest, NeedChildFindsAnyKindOfNode) {
    EXPECT_EQ(root->NeedChild("Root")->GetNodeType(), PROCESSING_INSTRUCTION_NODE);
    EXPECT_EQ(TagOf(root->NeedChild("A")), "a1");
    EXPECT_EQ(root->NeedChildById(doc->NameTable().TextId())->GetText(), "text");
}

struct NeedChildCase {
    const char* name;
    std::string asked;
    std::string interned;  // already in the table before the call, or ""
    std::string reported;
};

class NeedChildTest : public NodeLookupTest, public ::testing::WithParamInterface<NeedChildCase> {};

TEST_P(NeedChildTest, ReportsTheNameFoundOrAdded) {
    if (!GetParam().interned.empty()) doc->NameTable().NameToId(GetParam().interned, false);
    try {
        root->NeedChild(GetParam().asked);
        ADD_FAILURE() << "no failure";
    } catch (const NeedChildException& e) {
        EXPECT_EQ(e.what(), "Error: child element \"" + GetParam().reported + "\" not found.");
        EXPECT_STREQ(e.ClassName(), "NeedChildException");
    }
    EXPECT_NE(doc->NameTable().NameToId(GetParam().reported, false), -1);
}

INSTANTIATE_TEST_SUITE_P(Names, NeedChildTest,
                         ::testing::Values(NeedChildCase{"Added", "Missing", "", "Missing"},
                                           NeedChildCase{"StoredFormOfTheName", "missing", "Missing", "Missing"}),
                         [](const auto& info) { return info.param.name; });

TEST_F(NodeLookupTest, NeedChildOfAbsentNameAddsItToTheTable) {
    const std::int32_t count = doc->NameTable().NameCount();
    EXPECT_THROW(root->NeedChild("Fresh"), NeedChildException);
    EXPECT_EQ(doc->NameTable().NameCount(), count + 1);
    EXPECT_EQ(doc->NameTable().IdToName(count), "Fresh");
}

TEST_F(NodeLookupTest, EnsureChildAppendsOnlyWhenMissing) {
    EXPECT_EQ(TagOf(root->EnsureChild("a")), "a1");
    const std::int32_t count = root->GetChildNodes()->GetCount();
    IXmlNode added = root->EnsureChild("New");
    EXPECT_EQ(added->GetNodeType(), ELEMENT_NODE);
    EXPECT_EQ(root->GetChildNodes()->GetCount(), count + 1);
    EXPECT_TRUE(root->EnsureChild("new") == added);
}

TEST_F(NodeLookupTest, ChildTextReadsTheFirstChildOrTheDefault) {
    root->SetChildText("Note", "hello");
    EXPECT_EQ(root->GetChildText("note", "default"), "hello");
    EXPECT_EQ(root->GetChildText("absent", "default"), "default");
    IXmlElement fresh = doc->CreateElement("fresh");
    EXPECT_EQ(fresh->GetChildText("x", "d"), "d");
    EXPECT_EQ(fresh->PeekChildList(), nullptr);
}

TEST_F(NodeLookupTest, SetChildTextInternsExactly) {
    root->SetChildText("Note", "one");
    root->SetChildText("Note", "two");
    root->SetChildText("note", "three");  // strict: a second element
    IXmlNodeList notes = root->SelectNodes("Note");
    ASSERT_EQ(notes->GetCount(), 1);
    EXPECT_EQ(notes->GetItem(0)->GetText(), "two");
    EXPECT_EQ(root->GetChildTextById(doc->NameTable().NameToId("note", false), ""), "three");
}

}  // namespace
}  // namespace TolvexXml
