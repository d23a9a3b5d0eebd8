#include "PeerFileLoads.h"

#include <utility>

#include "CallScenario.h"

namespace TolvexBench {

std::unique_ptr<pugi::xml_document> LoadWithPugixml() {
    auto document = std::make_unique<pugi::xml_document>();
    return document->load_file(CallScenarioFile) ? std::move(document) : nullptr;
}

std::unique_ptr<tinyxml2::XMLDocument> LoadWithTinyxml2() {
    auto document = std::make_unique<tinyxml2::XMLDocument>();
    return document->LoadFile(CallScenarioFile) == tinyxml2::XML_SUCCESS ? std::move(document) : nullptr;
}

Libxml2Document LoadWithLibxml2() {
    return Libxml2Document(xmlReadFile(CallScenarioFile, nullptr, XML_PARSE_HUGE), xmlFreeDoc);
}

// Kept out of line so that callgrind can collect exactly these calls.
[[gnu::noinline]] int MeasuredPugixml() { return LoadWithPugixml() ? 1 : -1; }
[[gnu::noinline]] int MeasuredTinyxml2() { return LoadWithTinyxml2() ? 1 : -1; }
[[gnu::noinline]] int MeasuredLibxml2() { return LoadWithLibxml2() ? 1 : -1; }

}  // namespace TolvexBench
