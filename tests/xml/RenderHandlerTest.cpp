// The element content handler of SaveToStreamWithHandler: which elements it is
// asked for, what its text does in each form, re-targeting, and the state left
// behind by nested and failing saves and by other threads.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/Stream.h"
#include "xml/TolvexXml.h"

namespace TolvexXml {
namespace {

class RenderHandlerTest : public ::testing::Test {
protected:
    IXmlDocument doc = new TXmlDocument(GlobalNameTable());
    IXmlElement root = doc->AppendElement("Root");
    std::vector<std::string> asked;  // names of the elements the handler was asked for

    // A handler that records the element and leaves `supplied` as the content.
    ElementContentHandler Supplying(std::string supplied) {
        return [this, supplied](const IXmlElement& element, std::string& content) {
            asked.push_back(element->GetNodeName());
            content = supplied;
        };
    }

    std::string Save(const std::string& target, const ElementContentHandler& handler, bool compact) {
        doc->PreserveWhiteSpace = compact;
        Platform::TMemoryStream stream;
        doc->SaveToStreamWithHandler(stream, target, handler);
        return std::string(stream.Bytes());
    }
};

TEST_F(RenderHandlerTest, TextOfTheHandlerFillsAnEmptyElementUnescaped) {
    root->AppendElement("X");
    EXPECT_EQ(Save("X", Supplying("<b>&amp;</b>"), true), "<Root><X><b>&amp;</b></X></Root>");
    EXPECT_EQ(Save("X", Supplying("<b>&amp;</b>"), false), "\r\n<Root>\r\n\t<X><b>&amp;</b></X>\r\n</Root>");
    EXPECT_EQ(asked, (std::vector<std::string>{"X", "X"}));
}

TEST_F(RenderHandlerTest, TextOfTheHandlerDecidesTheEndTagLine) {
    root->AppendElement("X");
    EXPECT_EQ(Save("X", Supplying("a\r\n"), false), "\r\n<Root>\r\n\t<X>a\r\n\t</X>\r\n</Root>");
    EXPECT_EQ(Save("X", Supplying("a\nb"), false), "\r\n<Root>\r\n\t<X>a\nb\r\n\t</X>\r\n</Root>");
}

TEST_F(RenderHandlerTest, EmptyTextOfTheHandlerLeavesAnEmptyElement) {
    root->AppendElement("X");
    EXPECT_EQ(Save("X", Supplying(""), true), "<Root><X/></Root>");
    EXPECT_EQ(asked, (std::vector<std::string>{"X"}));
}

TEST_F(RenderHandlerTest, ElementWithContentKeepsItAndIsAskedOnlyInTheIndentedForm) {
    root->AppendElement("X")->SetText("own");
    IXmlElement two = root->AppendElement("X");
    two->AppendElement("a");
    two->AppendElement("b");

    EXPECT_EQ(Save("X", Supplying("dropped"), true), "<Root><X>own</X><X><a/><b/></X></Root>");
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(Save("X", Supplying("dropped"), false),
              "\r\n<Root>\r\n\t<X>own</X>\r\n\t<X>\r\n\t\t<a/>\r\n\t\t<b/>\r\n\t</X>\r\n</Root>");
    EXPECT_EQ(asked, (std::vector<std::string>{"X", "X"}));
}

TEST_F(RenderHandlerTest, HandlerForAnElementWithOneChildIsAskedForTheChild) {
    IXmlElement x = root->AppendElement("X");
    x->AppendElement("Y");
    root->AppendElement("Y");  // named like the child, outside X: not asked

    EXPECT_EQ(Save("X", Supplying("h"), true), "<Root><X><Y>h</Y></X><Y/></Root>");
    EXPECT_EQ(asked, (std::vector<std::string>{"Y"}));
}

TEST_F(RenderHandlerTest, HandlerForAnElementWithOneTextChildIsAskedForNothing) {
    root->AppendElement("X")->AppendText("t");
    EXPECT_EQ(Save("X", Supplying("h"), true), "<Root><X>t</X></Root>");
    EXPECT_EQ(Save("X", Supplying("h"), false), "\r\n<Root>\r\n\t<X>t</X>\r\n</Root>");
    EXPECT_TRUE(asked.empty());
}

TEST_F(RenderHandlerTest, ReTargetingHappensOnceForTheWholeSubtree) {
    // X > Y > Z: the handler moves to Y; Y, re-rendering already, does not move on to Z.
    root->AppendElement("X")->AppendElement("Y")->AppendElement("Z");
    EXPECT_EQ(Save("X", Supplying("h"), true), "<Root><X><Y><Z/></Y></X></Root>");
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(Save("X", Supplying("h"), false),
              "\r\n<Root>\r\n\t<X>\r\n\t\t<Y>\r\n\t\t\t<Z/>\r\n\t\t</Y>\r\n\t</X>\r\n</Root>");
    EXPECT_EQ(asked, (std::vector<std::string>{"Y"}));
}

TEST_F(RenderHandlerTest, ElementWithOneChildOfItsOwnNameAsksForBoth) {
    root->AppendElement("X")->AppendElement("X");
    EXPECT_EQ(Save("X", Supplying("h"), true), "<Root><X><X>h</X></X></Root>");
    EXPECT_EQ(asked, (std::vector<std::string>{"X"}));
}

TEST_F(RenderHandlerTest, TargetNameIsCaseSensitiveAndAnEmptyHandlerIsNone) {
    root->AppendElement("X");
    EXPECT_EQ(Save("x", Supplying("h"), true), "<Root><X/></Root>");
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(Save("X", ElementContentHandler(), true), "<Root><X/></Root>");
}

TEST_F(RenderHandlerTest, HandlerIsGoneAfterTheSave) {
    root->AppendElement("X");
    Save("X", Supplying("h"), true);
    EXPECT_EQ(doc->GetXML(), "<Root><X/></Root>");
}

TEST_F(RenderHandlerTest, FailureOfTheHandlerReachesTheCallerAndWritesNothing) {
    IXmlElement x = root->AppendElement("A")->AppendElement("B")->AppendElement("X");
    const ElementContentHandler failing = [](const IXmlElement&, std::string&) {
        throw std::runtime_error("handler failed");
    };
    Platform::TMemoryStream stream;
    doc->PreserveWhiteSpace = false;
    EXPECT_THROW(
        {
            try {
                doc->SaveToStreamWithHandler(stream, "B", failing);
            } catch (const std::runtime_error& failure) {
                EXPECT_STREQ(failure.what(), "handler failed");
                throw;
            }
        },
        std::runtime_error);
    EXPECT_EQ(stream.GetSize(), 0);
    // Depth, handler, target and guard are back: a plain rendering is unchanged.
    EXPECT_EQ(doc->GetXML(), "\r\n<Root>\r\n\t<A>\r\n\t\t<B>\r\n\t\t\t<X/>\r\n\t\t</B>\r\n\t</A>\r\n</Root>");
    x->AppendElement("Y");
    EXPECT_EQ(Save("B", Supplying("h"), true), "<Root><A><B><X><Y/></X></B></A></Root>");
}

TEST_F(RenderHandlerTest, NestedSaveInstallsAndRestoresItsOwnHandler) {
    root->AppendElement("X");
    root->AppendElement("Z");
    root->AppendElement("X");
    IXmlDocument other = new TXmlDocument(GlobalNameTable());
    other->AppendElement("X");
    other->AppendElement("Y");
    std::string inner;
    const ElementContentHandler outer = [&](const IXmlElement& element, std::string& content) {
        if (!inner.empty()) {
            content = "second";
            return;
        }
        Platform::TMemoryStream stream;
        other->PreserveWhiteSpace = true;
        other->SaveToStreamWithHandler(stream, "Y", Supplying("y"));
        inner = std::string(stream.Bytes());
        content = "first " + element->GetNodeName();
    };
    EXPECT_EQ(Save("X", outer, true), "<Root><X>first X</X><Z/><X>second</X></Root>");
    EXPECT_EQ(inner, "<X/><Y>y</Y>");
    EXPECT_EQ(asked, (std::vector<std::string>{"Y"}));
}

TEST(RenderThreadsTest, ThreadsRenderingDifferentDocumentsKeepTheirOwnState) {
    // Each thread saves its own document with its own handler and target, over and
    // over; with shared rendering state they would see each other's handler or depth.
    auto work = [](const std::string& target, const std::string& other, std::string& failure) {
        IXmlDocument doc = new TXmlDocument(GlobalNameTable());
        IXmlElement parent = doc->AppendElement("Root");
        for (int depth = 0; depth < 20; ++depth) parent = parent->AppendElement(depth % 2 ? "Level" : "Step");
        parent->AppendElement(target);
        parent->AppendElement(other);
        const ElementContentHandler handler = [&](const IXmlElement& element, std::string& content) {
            content = element->GetNodeName();
        };
        std::string expected = "<Root>";
        for (int depth = 0; depth < 20; ++depth) expected += depth % 2 ? "<Level>" : "<Step>";
        expected += "<" + target + ">" + target + "</" + target + "><" + other + "/>";
        for (int depth = 19; depth >= 0; --depth) expected += depth % 2 ? "</Level>" : "</Step>";
        expected += "</Root>";
        doc->PreserveWhiteSpace = true;
        for (int round = 0; round < 300 && failure.empty(); ++round) {
            Platform::TMemoryStream stream;
            doc->SaveToStreamWithHandler(stream, target, handler);
            if (stream.Bytes() != expected) failure = std::string(stream.Bytes());
            doc->PreserveWhiteSpace = false;
            const std::string indented = doc->GetXML();
            if (indented.find("\r\n" + std::string(21, '\t') + "<" + other + "/>") == std::string::npos)
                failure = indented;
            doc->PreserveWhiteSpace = true;
        }
    };
    std::string failureA, failureB;
    std::thread a(work, "A", "B", std::ref(failureA));
    std::thread b(work, "B", "A", std::ref(failureB));
    a.join();
    b.join();
    EXPECT_EQ(failureA, "");
    EXPECT_EQ(failureB, "");
}

}  // namespace
}  // namespace TolvexXml
