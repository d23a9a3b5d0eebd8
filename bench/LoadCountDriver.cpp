// A driver for counting instructions with callgrind, which does not depend on
// the machine's load: makes the scenario-like document of the given size, then
// runs one kind of work on it twice (docs/performance.md gives the counts of both
// runs together).
//   tolvex_xml_load_count text|binary|stream|write|pugixml|tinyxml2|libxml2 [bytes]
//     text      LoadXML of the text
//     binary    LoadXML of its binary image (the load that recognises the signature)
//     stream    LoadFromStream of the image
//     write     GetBinaryXML of the loaded document
//     pugixml   load_buffer of the text, tinyxml2: Parse, libxml2: xmlReadMemory
// Under callgrind, --toggle-collect=TolvexBench::Measured* counts only the work.
#include <libxml/parser.h>
#include <pugixml.hpp>
#include <tinyxml2.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
#include <string>

#include "platform/Stream.h"
#include "support/ScenarioDocument.h"
#include "xml/TolvexXml.h"

namespace TolvexBench {

using TolvexXml::IXmlDocument;

IXmlDocument NewDocument() { return IXmlDocument(new TolvexXml::TXmlDocument(TolvexXml::GlobalNameTable())); }

// Kept out of line so that callgrind can collect exactly these calls.
[[gnu::noinline]] IXmlDocument MeasuredLoadXML(const std::string& input) {
    IXmlDocument document = NewDocument();
    document->LoadXML(input);
    return document;
}

[[gnu::noinline]] IXmlDocument MeasuredLoadFromStream(Platform::TStream& stream) {
    IXmlDocument document = NewDocument();
    document->LoadFromStream(stream);
    return document;
}

[[gnu::noinline]] std::string MeasuredGetBinaryXML(TolvexXml::TXmlDocument& document) {
    return document.GetBinaryXML();
}

// The peers' loads; the documents are released outside the counted calls, as
// LoadXML's are.
[[gnu::noinline]] std::unique_ptr<pugi::xml_document> MeasuredPugixml(const std::string& text) {
    auto document = std::make_unique<pugi::xml_document>();
    document->load_buffer(text.data(), text.size());
    return document;
}

[[gnu::noinline]] std::unique_ptr<tinyxml2::XMLDocument> MeasuredTinyxml2(const std::string& text) {
    auto document = std::make_unique<tinyxml2::XMLDocument>();
    document->Parse(text.data(), text.size());
    return document;
}

[[gnu::noinline]] xmlDocPtr MeasuredLibxml2(const std::string& text) {
    return xmlReadMemory(text.data(), static_cast<int>(text.size()), "in.xml", nullptr, XML_PARSE_HUGE);
}

// The number of elements below the root, a check that the peer loaded the text.
std::size_t RootElementCount(const pugi::xml_document& document) {
    const pugi::xml_node root = document.document_element();
    return static_cast<std::size_t>(std::count_if(root.begin(), root.end(), [](const pugi::xml_node& node) {
        return node.type() == pugi::node_element;
    }));
}

std::size_t RootElementCount(const tinyxml2::XMLDocument& document) {
    std::size_t count = 0;
    for (const tinyxml2::XMLElement* child = document.RootElement() ? document.RootElement()->FirstChildElement() : nullptr;
         child; child = child->NextSiblingElement())
        ++count;
    return count;
}

std::size_t RootElementCount(xmlDocPtr document) {
    const std::size_t count = document ? xmlChildElementCount(xmlDocGetRootElement(document)) : 0;
    xmlFreeDoc(document);
    return count;
}

int Run(const std::string& mode, std::size_t size) {
    static const char* const modes[] = {"text", "binary", "stream", "write", "pugixml", "tinyxml2", "libxml2"};
    if (std::find(std::begin(modes), std::end(modes), mode) == std::end(modes)) {
        std::fprintf(stderr, "usage: tolvex_xml_load_count text|binary|stream|write|pugixml|tinyxml2|libxml2 [bytes]\n");
        return 2;
    }
    const std::string text = ScenarioDocument(size);
    IXmlDocument loaded = NewDocument();
    loaded->LoadXML(text);
    const std::string image = loaded->GetBinaryXML();
    std::size_t nodes = 0;
    for (int run = 0; run < 2; ++run) {
        if (mode == "text") {
            nodes += MeasuredLoadXML(text)->GetDocumentElement()->GetChildNodes()->GetCount();
        } else if (mode == "binary") {
            nodes += MeasuredLoadXML(image)->GetDocumentElement()->GetChildNodes()->GetCount();
        } else if (mode == "stream") {
            Platform::TMemoryStream stream(image);
            nodes += MeasuredLoadFromStream(stream)->GetDocumentElement()->GetChildNodes()->GetCount();
        } else if (mode == "write") {
            nodes += MeasuredGetBinaryXML(*loaded).size();
        } else if (mode == "pugixml") {
            nodes += RootElementCount(*MeasuredPugixml(text));
        } else if (mode == "tinyxml2") {
            nodes += RootElementCount(*MeasuredTinyxml2(text));
        } else {
            nodes += RootElementCount(MeasuredLibxml2(text));
        }
    }
    std::printf("%s: text %zu bytes, image %zu bytes, result %zu\n", mode.c_str(), text.size(), image.size(), nodes);
    return 0;
}

}  // namespace TolvexBench

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    const std::size_t size = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1'000'000;
    TolvexXml::InitializeUnit();
    xmlInitParser();
    const int result = TolvexBench::Run(mode, size);
    xmlCleanupParser();
    TolvexXml::FinalizeUnit();
    return result;
}
