// libFuzzer target for rendering. The first byte chooses PreserveWhiteSpace
// (bit 0); the rest is loaded with LoadXML as XML text (binary images, which
// LoadXML also takes, may hold names and values without a text form, and have
// their own target). A document that loads is rendered,
// the rendering is loaded into a second document with the same setting, and
// both trees must be the same (node kinds, names, attributes, texts, in order);
// rendering the second tree must give the first rendering byte for byte.
//
// What a reload legitimately changes is left out of the comparison:
// - adjacent text nodes render as one text, and the parser keeps an empty text
//   before markup when preserving white space: runs of text nodes are compared
//   joined, empty runs not at all;
// - the indented form (PreserveWhiteSpace false) starts every element on a new
//   line, so a text followed by an element or an end tag comes back with CR, LF
//   and TABs at its end, which the next rendering escapes. In that form, when
//   the trees differ, they must agree once CR, LF and TAB are stripped from the
//   ends of the texts, and the rendering cannot be the same the second time;
// - the parser keeps the blanks after a processing instruction's target as part
//   of its data and accepts data right after the target ("<?pi\xC0?>"); the
//   rendering separates the two by a blank: data is compared without leading
//   blanks.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "FuzzInput.h"
#include "base/Exception.h"
#include "support/XmlTreeDump.h"
#include "xml/TolvexXml.h"
#include "xml/XmlBinary.h"

namespace {

TolvexXml::IXmlDocument NewDocument(bool preserveWhiteSpace) {
    TolvexXml::IXmlDocument document(new TolvexXml::TXmlDocument(TolvexXml::GlobalNameTable()));
    document->PreserveWhiteSpace = preserveWhiteSpace;
    return document;
}

std::string CanonicalChildren(TolvexXml::TXmlNode& node, bool stripLayout);

std::string CanonicalNode(TolvexXml::TXmlNode& node, bool stripLayout) {
    switch (node.GetNodeType()) {
        case TolvexXml::ELEMENT_NODE:
            return node.GetNodeName() + TolvexXmlTest::DumpAttrs(node) + "(" + CanonicalChildren(node, stripLayout) +
                   ")";
        case TolvexXml::PROCESSING_INSTRUCTION_NODE: {
            const std::string data = node.GetText();
            std::size_t start = 0;
            while (start < data.size() && static_cast<unsigned char>(data[start]) <= ' ') ++start;
            return "<?" + node.GetNodeName() + TolvexXmlTest::DumpAttrs(node) + "\"" + data.substr(start) + "\"?>";
        }
        default:
            return TolvexXmlTest::DumpNode(node);
    }
}

// The children in the form of XmlTreeDump.h, runs of text nodes as one text
// (with the CR, LF and TAB bytes at its ends removed when stripping layout).
std::string CanonicalChildren(TolvexXml::TXmlNode& node, bool stripLayout) {
    std::string text;
    std::string pendingText;
    const auto flushText = [&] {
        if (stripLayout) {
            const std::size_t first = pendingText.find_first_not_of("\r\n\t");
            pendingText = first == std::string::npos
                              ? std::string()
                              : pendingText.substr(first, pendingText.find_last_not_of("\r\n\t") - first + 1);
        }
        if (!pendingText.empty()) text += "\"" + pendingText + "\", ";
        pendingText.clear();
    };
    const TolvexXml::TXmlNodeList* list = node.PeekChildList();
    for (std::int32_t i = 0; list && i < list->GetCount(); ++i) {
        TolvexXml::TXmlNode& child = *list->ItemAt(i);
        if (child.GetNodeType() == TolvexXml::TEXT_NODE) {
            pendingText += TolvexXmlTest::DumpValue(static_cast<TolvexXml::TXmlText&>(child).Value());
        } else {
            flushText();
            text += CanonicalNode(child, stripLayout) + ", ";
        }
    }
    flushText();
    return text;
}

[[noreturn]] void Mismatch(const char* what, const std::string& first, const std::string& second,
                           const std::string& rendering) {
    std::fprintf(stderr, "roundtrip: %s differ\n--- first\n%s\n--- second\n%s\n--- rendering\n%s\n", what,
                 first.c_str(), second.c_str(), rendering.c_str());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto input = TolvexFuzz::TakeInput(data, size);
    if (!input) return 0;
    const bool preserveWhiteSpace = (input->options & 1) != 0;
    const std::string& text = input->text;
    if (text.starts_with(TolvexXml::BinaryXmlSignature)) return 0;

    const TolvexXml::IXmlDocument original = NewDocument(preserveWhiteSpace);
    try {
        original->LoadXML(text);
    } catch (const Platform::Exception&) {
        return 0;
    }
    const std::string rendering = original->GetXML();

    const TolvexXml::IXmlDocument reloaded = NewDocument(preserveWhiteSpace);
    try {
        reloaded->LoadXML(rendering);
    } catch (const Platform::Exception& failure) {
        Mismatch("loads", "loaded", std::string(failure.ClassName()) + ": " + failure.what(), rendering);
    }
    if (CanonicalChildren(*original, false) != CanonicalChildren(*reloaded, false)) {
        const std::string originalTree = CanonicalChildren(*original, !preserveWhiteSpace);
        const std::string reloadedTree = CanonicalChildren(*reloaded, !preserveWhiteSpace);
        if (preserveWhiteSpace || originalTree != reloadedTree)
            Mismatch("trees", originalTree, reloadedTree, rendering);
        return 0;
    }
    const std::string rerendering = reloaded->GetXML();
    if (rerendering != rendering) Mismatch("renderings", rendering, rerendering, rendering);
    return 0;
}
