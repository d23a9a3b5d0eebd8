// Loads one generated document with one parser, for instruction counts under
// callgrind, which do not depend on what else the machine is doing:
//
//   valgrind --tool=callgrind --toggle-collect='<load function>'
//            build/bench/bench/tolvex_xml_load_once tolvex|pugixml|tinyxml2|libxml2 BYTES
//
// The load functions: TolvexXml::TXmlDocument::LoadXML*, pugi::xml_document::load_buffer*,
// tinyxml2::XMLDocument::Parse*, xmlReadMemory.
#include <libxml/parser.h>
#include <pugixml.hpp>
#include <tinyxml2.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "ScenarioDocument.h"
#include "xml/TolvexXml.h"

namespace {

bool Load(std::string_view parser, const std::string& text) {
    if (parser == "tolvex") {
        TolvexXml::IXmlDocument document(new TolvexXml::TXmlDocument(TolvexXml::GlobalNameTable()));
        document->LoadXML(text);
        return true;
    }
    if (parser == "pugixml") {
        pugi::xml_document document;
        return static_cast<bool>(document.load_buffer(text.data(), text.size()));
    }
    if (parser == "tinyxml2") {
        tinyxml2::XMLDocument document;
        return document.Parse(text.data(), text.size()) == tinyxml2::XML_SUCCESS;
    }
    if (parser == "libxml2") {
        xmlDocPtr document = xmlReadMemory(text.data(), static_cast<int>(text.size()), "in.xml", nullptr, XML_PARSE_HUGE);
        xmlFreeDoc(document);
        return document != nullptr;
    }
    std::fprintf(stderr, "unknown parser %.*s\n", static_cast<int>(parser.size()), parser.data());
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s tolvex|pugixml|tinyxml2|libxml2 BYTES\n", argv[0]);
        return 2;
    }
    TolvexXml::InitializeUnit();
    xmlInitParser();
    const std::string text = TolvexBench::ScenarioDocument(std::strtoull(argv[2], nullptr, 10));
    const bool loaded = Load(argv[1], text);
    xmlCleanupParser();
    TolvexXml::FinalizeUnit();
    return loaded ? 0 : 1;
}
