// The places of Root's element children, found by the tool's own scan of the
// text: they must be the elements the library loads, at their start tags.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/ElementPlaces.h"
#include "xml/TolvexXml.h"

namespace TolvexHost {
namespace {

struct PlacesCase {
    const char* name;
    std::string text;
    std::vector<TextPlace> places;
};

std::vector<TextPlace> PlacesOf(const ElementPlaces& places) {
    std::vector<TextPlace> found;
    for (std::size_t position = 1; places.Of(position); ++position) found.push_back(*places.Of(position));
    return found;
}

// The number of element children of Root as the library loads the text.
std::size_t LoadedAnswerCount(const std::string& text) {
    TolvexXml::IXmlDocument document(new TolvexXml::TXmlDocument(TolvexXml::GlobalNameTable()));
    document->LoadXML(text);
    const TolvexXml::IXmlNodeList children = document->NeedChild("Root")->GetChildNodes();
    std::size_t count = 0;
    for (std::int32_t i = 0; i < children->GetCount(); ++i)
        count += children->GetItem(i)->GetNodeType() == TolvexXml::ELEMENT_NODE;
    return count;
}

class ElementPlacesTest : public ::testing::TestWithParam<PlacesCase> {};

TEST_P(ElementPlacesTest, FindsTheStartTagsOfRootsElementChildren) {
    const PlacesCase& c = GetParam();
    const std::vector<TextPlace> found = PlacesOf(ElementPlaces(c.text));
    ASSERT_EQ(found.size(), c.places.size());
    for (std::size_t i = 0; i < found.size(); ++i) {
        EXPECT_EQ(found[i].line, c.places[i].line) << "element " << i + 1;
        EXPECT_EQ(found[i].column, c.places[i].column) << "element " << i + 1;
    }
    EXPECT_EQ(found.size(), LoadedAnswerCount(c.text));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ElementPlacesTest,
    ::testing::Values(
        PlacesCase{"OneLine", "<Root><a/><b x='1'>t</b></Root>", {{1, 7}, {1, 11}}},
        PlacesCase{"CrLfAndIndent", "<?xml version=\"1.0\"?>\r\n<Root>\r\n  <a/>\r\n\t<b/>\r\n</Root>\r\n", {{3, 3}, {4, 2}}},
        PlacesCase{"NestedElementsAreNotAnswers", "<Root><a><b><c/></b></a><d/></Root>", {{1, 7}, {1, 25}}},
        PlacesCase{"MarkupInsideCommentsCdataAndInstructions",
                   "<Root><!-- <x/> --><![CDATA[<y/>]]><?pi <z/>?><a/></Root>",
                   {{1, 47}}},
        PlacesCase{"GreaterThanInAttributeValues", "<Root><a v=\"x>y\" w='/>'/><b/></Root>", {{1, 7}, {1, 26}}},
        PlacesCase{"DoctypeEndsAtItsFirstGreaterThan", "<!DOCTYPE Root [<!ELEMENT Root ANY>]>\n<Root><a/></Root>", {{2, 7}}},
        PlacesCase{"RootWithSmallFirstLetter", "<root>\n<a/></root>", {{2, 1}}},
        PlacesCase{"EmptyRoot", "<Root/>", {}},
        PlacesCase{"ByteColumnsAfterUtf8",
                   "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Root><a h=\"\xD0\x9F\xD1\x91\"/><b/></Root>",
                   {{1, 45}, {1, 58}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ElementPlaces, NoPlacesForBinaryImagesAndUtf16) {
    EXPECT_EQ(ElementPlaces(std::string("< binary-xml >") + std::string(20, '\0')).Of(1), nullptr);
    EXPECT_EQ(ElementPlaces(std::string("\xFF\xFE<\0R\0", 6)).Of(1), nullptr);
}

TEST(ElementPlaces, PlaceOfOffsetCountsLinesAndBytes) {
    const std::string text = "ab\r\ncd\nef";
    EXPECT_EQ(PlaceOfOffset(text, 0).line, 1);
    EXPECT_EQ(PlaceOfOffset(text, 0).column, 1);
    EXPECT_EQ(PlaceOfOffset(text, 3).column, 4);  // the CR is the line's last byte
    EXPECT_EQ(PlaceOfOffset(text, 4).line, 2);
    EXPECT_EQ(PlaceOfOffset(text, 8).line, 3);
    EXPECT_EQ(PlaceOfOffset(text, 8).column, 2);
    EXPECT_EQ(PlacePrefix("in.xml", nullptr), "in.xml: ");
}

}  // namespace
}  // namespace TolvexHost
