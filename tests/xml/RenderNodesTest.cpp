// XML text of every node kind, in the indented and the compact form.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "xml/TolvexXml.h"
#include "xml/ValueText.h"

namespace TolvexXml {
namespace {

using Platform::Variant;

class RenderTest : public ::testing::Test {
protected:
    IXmlDocument doc = new TXmlDocument(GlobalNameTable());
    IXmlElement root = doc->AppendElement("Root");
};

TEST_F(RenderTest, WorkedExampleInBothForms) {
    IXmlElement newRoot = doc->NewDocument("1.0", "", "Root");
    IXmlElement item = newRoot->AppendElement("Item");
    item->SetAttrInt64("Code", 5);
    item->SetText("a<b");

    EXPECT_EQ(doc->GetXML(),
              "<?xml version=\"1.0\" encoding=\"windows-1251\"?>"
              "\r\n<Root>"
              "\r\n\t<Item Code=\"5\">a&lt;b</Item>"
              "\r\n</Root>");
    doc->PreserveWhiteSpace = true;
    EXPECT_EQ(doc->GetXML(),
              "<?xml version=\"1.0\" encoding=\"windows-1251\"?>"
              "<Root><Item Code=\"5\">a&lt;b</Item></Root>");
}

struct NodeCase {
    const char* name;
    std::function<IXmlNode(const IXmlElement& parent)> make;
    std::string indented;
    std::string compact;
};

class NodeKindTest : public RenderTest, public ::testing::WithParamInterface<NodeCase> {};

TEST_P(NodeKindTest, RendersInBothForms) {
    const IXmlNode node = GetParam().make(root);
    EXPECT_EQ(node->GetXML(), GetParam().indented);
    doc->PreserveWhiteSpace = true;
    EXPECT_EQ(node->GetXML(), GetParam().compact);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, NodeKindTest,
    ::testing::Values(
        NodeCase{"EmptyElement", [](const IXmlElement& p) { return p->AppendElement("e"); }, "\r\n<e/>", "<e/>"},
        NodeCase{"EmptyElementWithAttributes",
                 [](const IXmlElement& p) {
                     IXmlElement e = p->AppendElement("e");
                     e->SetAttrText("a", "x & 'y'");
                     e->SetAttrText("b", "");
                     return e;
                 },
                 "\r\n<e a=\"x &amp; 'y'\" b=\"\"/>", "<e a=\"x &amp; 'y'\" b=\"\"/>"},
        NodeCase{"ElementWithEmptyTextHeld",
                 [](const IXmlElement& p) {
                     IXmlElement e = p->AppendElement("e");
                     e->SetText("");
                     return e;
                 },
                 "\r\n<e/>", "<e/>"},
        NodeCase{"ElementWithText",
                 [](const IXmlElement& p) {
                     IXmlElement e = p->AppendElement("e");
                     e->SetText("say \"it's\"\tnow");
                     return e;
                 },
                 "\r\n<e>say &quot;it's&quot;&#9;now</e>", "<e>say &quot;it's&quot;&#9;now</e>"},
        NodeCase{"ElementWithCrLfInTextStaysOnOneLine",
                 [](const IXmlElement& p) {
                     IXmlElement e = p->AppendElement("e");
                     e->SetText("a\r\nb");
                     return e;
                 },
                 "\r\n<e>a&#13;&#10;b</e>", "<e>a&#13;&#10;b</e>"},
        NodeCase{"ElementWithNumberValue",
                 [](const IXmlElement& p) {
                     IXmlElement e = p->AppendElement("e");
                     e->SetValue(Variant::FromInt32(-7));
                     return e;
                 },
                 "\r\n<e>-7</e>", "<e>-7</e>"},
        NodeCase{"ElementWithNullValueIsNotEmpty",
                 [](const IXmlElement& p) {
                     IXmlElement e = p->AppendElement("e");
                     e->SetValue(Variant::Null());
                     return e;
                 },
                 "\r\n<e>{{null}}</e>", "<e>{{null}}</e>"},
        NodeCase{"ElementWithTextChildren",
                 [](const IXmlElement& p) {
                     IXmlElement e = p->AppendElement("e");
                     e->AppendText("a");
                     e->AppendText("b");
                     return e;
                 },
                 "\r\n<e>ab</e>", "<e>ab</e>"},
        NodeCase{"ElementWithMixedContent",
                 [](const IXmlElement& p) {
                     IXmlElement e = p->AppendElement("e");
                     e->AppendText("t");
                     e->AppendElement("c");
                     return e;
                 },
                 "\r\n<e>t\r\n\t<c/>\r\n</e>", "<e>t<c/></e>"},
        NodeCase{"Text", [](const IXmlElement& p) { return p->AppendText("a&b<c>\"'\n"); }, "a&amp;b&lt;c&gt;&quot;'&#10;",
                 "a&amp;b&lt;c&gt;&quot;'&#10;"},
        NodeCase{"RawTextIsNotEscaped",
                 [](const IXmlElement& p) {
                     p->ReplaceTextByBinaryData("<&>", 3, 0);
                     return p->GetChildNodes()->GetItem(0);
                 },
                 "PCY+", "PCY+"},
        NodeCase{"CDataSection", [](const IXmlElement& p) { return p->AppendCDATA("x<&y\r\n"); },
                 "<![CDATA[x<&y\r\n]]>", "<![CDATA[x<&y\r\n]]>"},
        NodeCase{"EmptyCDataSection", [](const IXmlElement& p) { return p->AppendCDATA(""); }, "<![CDATA[]]>",
                 "<![CDATA[]]>"},
        NodeCase{"CDataSectionHoldingTerminator", [](const IXmlElement& p) { return p->AppendCDATA("a]]>b"); },
                 "<![CDATA[a]]]><![CDATA[]>b]]>", "<![CDATA[a]]]><![CDATA[]>b]]>"},
        NodeCase{"CDataSectionEndingInTerminator", [](const IXmlElement& p) { return p->AppendCDATA("x]]>"); },
                 "<![CDATA[x]]]><![CDATA[]>]]>", "<![CDATA[x]]]><![CDATA[]>]]>"},
        NodeCase{"CommentKeepsItsBlanksAndIsNotEscaped", [](const IXmlElement& p) { return p->AppendComment(" a<b -- "); },
                 "<!-- a<b -- -->", "<!-- a<b -- -->"},
        NodeCase{"InstructionWithData", [](const IXmlElement& p) { return p->AppendProcessingInstruction("pi", "x<y"); },
                 "<?pi x<y?>", "<?pi x<y?>"},
        NodeCase{"InstructionWithDataWritesNoAttributes",
                 [](const IXmlElement& p) {
                     IXmlNode pi = p->AppendProcessingInstruction("pi", "data");
                     pi->SetAttrText("a", "1");
                     return pi;
                 },
                 "<?pi data?>", "<?pi data?>"},
        NodeCase{"InstructionWithoutDataWritesAttributes",
                 [](const IXmlElement& p) {
                     IXmlNode pi = p->AppendProcessingInstruction("pi", "");
                     pi->SetAttrText("a", "<1>");
                     pi->SetAttrText("b", "2");
                     return pi;
                 },
                 "<?pi a=\"&lt;1&gt;\" b=\"2\"?>", "<?pi a=\"&lt;1&gt;\" b=\"2\"?>"},
        NodeCase{"BareInstruction", [](const IXmlElement& p) { return p->AppendProcessingInstruction("pi", ""); },
                 "<?pi?>", "<?pi?>"}),
    [](const ::testing::TestParamInfo<NodeCase>& info) { return info.param.name; });

struct AttrCase {
    const char* name;
    Variant value;
    const char* text;
};

class AttrValueTest : public RenderTest, public ::testing::WithParamInterface<AttrCase> {};

TEST_P(AttrValueTest, WritesTheValueTextEscapedInDoubleQuotes) {
    IXmlElement e = root->AppendElement("e");
    e->SetAttrValue("v", GetParam().value);
    doc->PreserveWhiteSpace = true;
    EXPECT_EQ(e->GetXML(), std::string("<e v=\"") + GetParam().text + "\"/>");
}

INSTANTIATE_TEST_SUITE_P(
    Values, AttrValueTest,
    ::testing::Values(AttrCase{"BooleanTrue", Variant::FromBool(true), "1"},
                      AttrCase{"BooleanFalse", Variant::FromBool(false), "0"},
                      AttrCase{"Null", Variant::Null(), "{{null}}"},
                      AttrCase{"Empty", Variant(), ""},
                      AttrCase{"Int64", Variant::FromInt64(-9000000000LL), "-9000000000"},
                      AttrCase{"Double", Variant::FromDouble(1.5), "1.5"},
                      AttrCase{"Currency", Variant::FromCurrency(12345678), "1234.5678"},
                      AttrCase{"DateTime", Variant::FromDateTime(0.5), "1899-12-30T12:00:00"},
                      AttrCase{"TextWithQuotesAndControls", Variant::FromString("\"a'\tb\r\n"),
                               "&quot;a'&#9;b&#13;&#10;"},
                      AttrCase{"ByteArray", Variant::FromBytes("Man"), "TWFu"}),
    [](const ::testing::TestParamInfo<AttrCase>& info) { return info.param.name; });

TEST_F(RenderTest, IndentsEveryElementByItsDepthBelowTheStart) {
    IXmlElement a = root->AppendElement("a");
    IXmlElement b = a->AppendElement("b");
    b->AppendElement("c")->SetText("t");
    a->AppendComment("note");
    root->AppendElement("d");

    EXPECT_EQ(doc->GetXML(),
              "\r\n<Root>"
              "\r\n\t<a>"
              "\r\n\t\t<b>"
              "\r\n\t\t\t<c>t</c>"
              "\r\n\t\t</b><!--note-->"
              "\r\n\t</a>"
              "\r\n\t<d/>"
              "\r\n</Root>");
    // Started below the root, the depth counts from that node.
    EXPECT_EQ(b->GetXML(), "\r\n<b>\r\n\t<c>t</c>\r\n</b>");
    doc->PreserveWhiteSpace = true;
    EXPECT_EQ(doc->GetXML(), "<Root><a><b><c>t</c></b><!--note--></a><d/></Root>");
}

TEST_F(RenderTest, EndTagFollowsTheLineBreaksOfTheContent) {
    struct Case {
        const char* name;
        std::function<void(const IXmlElement&)> fill;
        const char* expected;
    } cases[] = {
        {"comment with LF", [](const IXmlElement& e) { e->AppendComment("a\nb"); }, "\r\n\t<e><!--a\nb-->\r\n\t</e>"},
        {"comment with CR alone", [](const IXmlElement& e) { e->AppendComment("a\rb"); },
         "\r\n\t<e><!--a\rb-->\r\n\t</e>"},
        {"CDATA ending in CR LF", [](const IXmlElement& e) { e->AppendCDATA("x\r\n"); },
         "\r\n\t<e><![CDATA[x\r\n]]>\r\n\t</e>"},
        {"raw Base64 ending in CR LF", [](const IXmlElement& e) { e->ReplaceTextByBinaryData("Man", 3, 4); },
         "\r\n\t<e>TWFu\r\n\t</e>"},
        {"raw Base64 of two lines", [](const IXmlElement& e) { e->ReplaceTextByBinaryData("ManMa", 5, 4); },
         "\r\n\t<e>TWFu\r\nTWE=\r\n\t</e>"},
        {"child element", [](const IXmlElement& e) { e->AppendElement("c"); }, "\r\n\t<e>\r\n\t\t<c/>\r\n\t</e>"},
    };
    for (const Case& c : cases) {
        IXmlElement e = root->AppendElement("e");
        c.fill(e);
        EXPECT_EQ(root->GetXML(), std::string("\r\n<Root>") + c.expected + "\r\n</Root>") << c.name;
        root->RemoveChild(e);
    }
}

TEST_F(RenderTest, HeldValueIsHiddenWhileTheElementHasChildren) {
    root->SetText("held");
    root->AppendElement("c");
    EXPECT_EQ(root->GetXML(), "\r\n<Root>\r\n\t<c/>\r\n</Root>");
    root->RemoveChild(root->SelectElement("c"));
    EXPECT_EQ(root->GetXML(), "\r\n<Root>held</Root>");
}

TEST_F(RenderTest, DocumentWithoutDeclarationStartsWithALineBreak) {
    doc->AppendComment("c");
    EXPECT_EQ(doc->GetXML(), "\r\n<Root/><!--c-->");
    EXPECT_EQ(IXmlDocument(new TXmlDocument(GlobalNameTable()))->GetXML(), "");
}

TEST_F(RenderTest, NodeListIsTheConcatenationOfItsItems) {
    root->AppendElement("a")->SetText("1");
    root->AppendText("t");
    root->AppendElement("a");
    EXPECT_EQ(root->GetChildNodes()->GetXML(), "\r\n<a>1</a>t\r\n<a/>");
    EXPECT_EQ(root->SelectNodes("a")->GetXML(), "\r\n<a>1</a>\r\n<a/>");
    EXPECT_EQ(root->AppendElement("b")->GetChildNodes()->GetXML(), "");
    doc->PreserveWhiteSpace = true;
    EXPECT_EQ(root->SelectNodes("a")->GetXML(), "<a>1</a><a/>");
}

TEST_F(RenderTest, WideTextFollowsTheCodePageOfTheDocument) {
    const Variant privet = Variant::FromWide(u"\u041f\u0440\u0438\u0432\u0435\u0442");
    struct Case {
        const char* encoding;
        const char* bytes;
    } cases[] = {
        {"windows-1251", "\xcf\xf0\xe8\xe2\xe5\xf2"},
        {"UTF-8", "\xd0\x9f\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82"},
        {"cp866", "\x8f\xe0\xa8\xa2\xa5\xe2"},
    };
    for (const Case& c : cases) {
        IXmlElement e = doc->NewDocument("1.0", c.encoding, "e");
        e->SetValue(privet);
        e->SetAttrValue("a", privet);
        doc->PreserveWhiteSpace = true;
        EXPECT_EQ(e->GetXML(), std::string("<e a=\"") + c.bytes + "\">" + c.bytes + "</e>") << c.encoding;
        doc->PreserveWhiteSpace = false;
    }
}

TEST_F(RenderTest, NodeInNoDocumentIsIndentedAndUsesTheSystemCodePage) {
    doc->NewDocument("1.0", "UTF-8", "Root");
    doc->PreserveWhiteSpace = true;
    const Variant wide = Variant::FromWide(u"\u0416");
    IXmlElement free = doc->CreateElement("e");
    free->SetValue(wide);
    free->AppendElement("c");
    free->AppendText("x");
    free->GetChildNodes()->GetItem(1)->SetValue(wide);
    const std::string systemBytes = ValueToXmlText(wide, 0);
    EXPECT_EQ(free->GetXML(), "\r\n<e>\r\n\t<c/>" + systemBytes + "\r\n</e>");
    doc->GetDocumentElement()->AppendChild(free);
    EXPECT_EQ(free->GetXML(), "<e><c/>\xd0\x96</e>");
}

TEST_F(RenderTest, EncodingWithoutTextFormFallsBackToTheSystemCodePage) {
    IXmlElement e = doc->NewDocument("1.0", "UTF-8", "e");
    doc->GetChildNodes()->GetItem(0)->SetAttrValue("encoding", Variant::Null());
    const Variant wide = Variant::FromWide(u"\u0416");
    e->SetValue(wide);
    EXPECT_EQ(e->GetXML(), "\r\n<e>" + ValueToXmlText(wide, 0) + "</e>");
}

TEST_F(RenderTest, ReplaceTextByCDataSectionKeepsOtherChildrenAndAppendsTheSections) {
    root->AppendText("t1");
    root->AppendComment("c");
    root->AppendCDATA("old");
    root->AppendElement("k");
    root->AppendText("t2");
    root->ReplaceTextByCDATASection("a]]>b]]>");
    doc->PreserveWhiteSpace = true;
    EXPECT_EQ(root->GetXML(), "<Root><!--c--><k/><![CDATA[a]]]><![CDATA[]>b]]]><![CDATA[]>]]></Root>");
    EXPECT_EQ(root->GetText(), "a]]>b]]>");

    root->ReplaceTextByCDATASection("");
    EXPECT_EQ(root->GetXML(), "<Root><!--c--><k/><![CDATA[]]></Root>");
}

TEST_F(RenderTest, ReplaceTextByCDataSectionOnAHeldValueHidesTheValue) {
    root->SetText("held");
    root->ReplaceTextByCDATASection("new");
    EXPECT_EQ(root->GetXML(), "\r\n<Root><![CDATA[new]]></Root>");
    EXPECT_EQ(root->HeldValue().RawString(), "held");
    root->RemoveAllChildren();
    EXPECT_EQ(root->GetXML(), "\r\n<Root>held</Root>");
}

}  // namespace
}  // namespace TolvexXml
