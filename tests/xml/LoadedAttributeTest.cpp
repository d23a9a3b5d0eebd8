// The attributes of loaded nodes: what a load stores reads back byte for byte
// through every accessor, whatever the count and the length of the values, and
// stays right when the node is changed, cloned, moved or outlives its document.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "xml/TolvexXml.h"
#include "xml/ValueText.h"

namespace TolvexXml {
namespace {

using Platform::Variant;

// An element's XML as GetXML gives it: on a line of its own.
std::string OnItsLine(const std::string& xml) { return "\r\n" + xml; }

IXmlDocument Loaded(const std::string& text) {
    IXmlDocument document = new TXmlDocument(GlobalNameTable());
    document->LoadXML(text);
    return document;
}

// n0, n1, ...
std::string NameOf(std::size_t index) { return std::string("n").append(std::to_string(index)); }

std::string Tag(const std::vector<std::string>& values) {
    std::string text = "<a";
    for (std::size_t i = 0; i < values.size(); ++i)
        text.append(" ").append(NameOf(i)).append("=\"").append(values[i]).append("\"");
    return text + "/>";
}

struct ValueShape {
    const char* name;
    std::size_t count;
    std::size_t length;
};

class LoadedValues : public ::testing::TestWithParam<ValueShape> {};

// The shapes straddle the room of one piece (1024 bytes for a head of 8, the
// entries at 8 bytes each, and the texts): below, exactly at and just past it.
TEST_P(LoadedValues, ReadBackAsTheyStand) {
    const ValueShape shape = GetParam();
    std::vector<std::string> values;
    for (std::size_t i = 0; i < shape.count; ++i)
        values.push_back(std::string(shape.length, static_cast<char>('a' + i % 26)) + std::to_string(i));
    const IXmlDocument document = Loaded(Tag(values));
    const IXmlNode node = document->SelectElement("a");
    ASSERT_EQ(node->GetAttrCount(), static_cast<std::int32_t>(shape.count));
    for (std::size_t i = 0; i < shape.count; ++i) {
        const std::string name = NameOf(i);
        EXPECT_EQ(node->GetAttrName(static_cast<std::int32_t>(i)), name);
        EXPECT_EQ(node->GetAttrText(name, "absent"), values[i]);
        EXPECT_EQ(node->GetAttrType(name), Platform::varString);
        EXPECT_EQ(node->GetAttrData(static_cast<std::int32_t>(i)).Value.RawString(), values[i]);
        EXPECT_EQ(node->GetAttrValue(name, Variant()).RawString(), values[i]);
    }
    EXPECT_EQ(node->GetXML(), OnItsLine(Tag(values)));
}

INSTANTIATE_TEST_SUITE_P(Shapes, LoadedValues,
                         ::testing::Values(ValueShape{"OneEmpty", 1, 0}, ValueShape{"Fourteen", 14, 6},
                                           ValueShape{"OneFillingThePiece", 1, 1007},
                                           ValueShape{"OnePastThePiece", 1, 1008},
                                           ValueShape{"OneLongerThanABlockPiece", 1, 5000},
                                           ValueShape{"NinetyShort", 90, 0}, ValueShape{"TooManyForAPiece", 130, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LoadedAttributeTest, TypedReadersTakeTheLoadedText) {
    const IXmlNode node = Loaded(
                              "<a i=' 42' b='True' f='2,5' h='1F' "
                              "d='2026-12-10T10:20:30' e='Two' bad='1x'/>")
                              ->SelectElement("a");
    EXPECT_EQ(node->GetAttrInt64("i", 0), 42);
    EXPECT_TRUE(node->GetAttrBool("b", false));
    EXPECT_DOUBLE_EQ(node->GetAttrFloat("f", 0), 2.5);
    EXPECT_EQ(node->GetAttrHex("h", 0), 31);
    EXPECT_EQ(node->GetAttrDateTime("d", 0), XmlTextToDateTime("2026-12-10T10:20:30"));
    EXPECT_EQ(node->GetAttrEnum("e", {"one", "two"}, -1), 1);
    EXPECT_THROW(node->GetAttrInt64("bad", 0), TolvexXmlException);
    EXPECT_THROW(node->GetAttrBool("bad", false), Platform::Exception);
    const IXmlDocument document = Loaded("<r><a k='7'/><a k='8'/></r>");
    const IXmlElement found = document->SelectElement("r")->FindElement("a", "k", Variant::FromInt32(8));
    ASSERT_TRUE(found);
    EXPECT_EQ(found->GetAttrText("k", ""), "8");
}

// Every change of a loaded node's attributes keeps the others, their order and
// their texts.
TEST(LoadedAttributeTest, ChangesKeepTheOtherAttributes) {
    struct Change {
        const char* name;
        void (*apply)(TXmlNode& node);
        const char* xml;
    };
    const Change changes[] = {
        {"set existing", [](TXmlNode& node) { node.SetAttrValue("y", Variant::FromInt32(5)); },
         "<a x=\"1\" y=\"5\" z=\"three &amp; four\"/>"},
        {"set new", [](TXmlNode& node) { node.SetAttrText("w", "new"); },
         "<a x=\"1\" y=\"two\" z=\"three &amp; four\" w=\"new\"/>"},
        {"remove middle", [](TXmlNode& node) { node.RemoveAttr("y"); }, "<a x=\"1\" z=\"three &amp; four\"/>"},
        {"remove absent", [](TXmlNode& node) { node.RemoveAttr("q"); },
         "<a x=\"1\" y=\"two\" z=\"three &amp; four\"/>"},
        {"remove all, then set",
         [](TXmlNode& node) {
             node.RemoveAllAttrs();
             node.SetAttrBool("b", true);
         },
         "<a b=\"1\"/>"},
    };
    for (const Change& change : changes) {
        const IXmlDocument document = Loaded("<a x='1' y='two' z='three &amp; four'/>");
        const IXmlNode node = document->SelectElement("a");
        change.apply(*node);
        EXPECT_EQ(node->GetXML(), OnItsLine(change.xml)) << change.name;
    }
}

TEST(LoadedAttributeTest, ARepeatedNameReplacesTheValueInItsPlace) {
    for (const char* text : {"<a x='1' y='2' x='3'/>", "<a x='1' y='2' x='&#51;'/>", "<a x='&#49;' y='2' x='3'/>"}) {
        const IXmlNode node = Loaded(text)->SelectElement("a");
        EXPECT_EQ(node->GetXML(), OnItsLine("<a x=\"3\" y=\"2\"/>")) << text;
    }
}

TEST(LoadedAttributeTest, ClonesAndMovedNodesKeepTheirAttributes) {
    const IXmlDocument document = Loaded("<a x='1' y='two'><b z='3'/></a>");
    const IXmlNode original = document->SelectElement("a");
    const IXmlNode clone = original->CloneNode(true);
    clone->SetAttrText("x", "changed");
    const std::string tree = "\r\n<a x=\"1\" y=\"two\">\r\n\t<b z=\"3\"/>\r\n</a>";
    EXPECT_EQ(original->GetXML(), tree);
    EXPECT_EQ(clone->GetXML(), "\r\n<a x=\"changed\" y=\"two\">\r\n\t<b z=\"3\"/>\r\n</a>");

    // Into a document of another name table: the names are looked up again there.
    IXmlNameTable otherNames = new TXmlNameTable(TXmlNameTable::DefaultBucketCount);
    otherNames->NameToId("unrelated", false);
    IXmlDocument other = new TXmlDocument(otherNames.Get());
    other->AppendChild(original);
    EXPECT_EQ(other->GetXML(), tree);
    EXPECT_EQ(other->SelectElement("a")->GetAttrText("y", ""), "two");
}

TEST(LoadedAttributeTest, AKeptNodeReadsItsAttributesAfterTheDocumentIsGone) {
    IXmlNode kept;
    {
        const IXmlDocument document = Loaded("<r><a x='1' y='" + std::string(2000, 'y') + "'/><b z='3'/></r>");
        kept = document->SelectElement("r/b");
        IXmlDocument reloaded = Loaded("<c q='other'/>");
    }
    EXPECT_EQ(kept->GetAttrText("z", ""), "3");
    EXPECT_EQ(kept->GetXML(), OnItsLine("<b z=\"3\"/>"));
}

TEST(LoadedAttributeTest, TheBinaryFormKeepsLoadedAttributesAsText) {
    const IXmlDocument document = Loaded("<a x='1' y='two'/>");
    const IXmlDocument copy = Loaded(document->GetBinaryXML());
    const IXmlNode node = copy->SelectElement("a");
    EXPECT_EQ(node->GetAttrType("x"), Platform::varString);
    EXPECT_EQ(copy->GetXML(), document->GetXML());
}

}  // namespace
}  // namespace TolvexXml
