// The peers' loads of the call scenario's file, the work the call benchmarks
// set against the call: pugixml load_file, tinyxml2 LoadFile, libxml2
// xmlReadFile (after xmlInitParser). The Load functions return the loaded
// document, null when the file did not load; the Measured ones load and release
// it, returning 1, or -1 when the file did not load.
#pragma once

#include <libxml/parser.h>
#include <pugixml.hpp>
#include <tinyxml2.h>

#include <memory>

namespace TolvexBench {

using Libxml2Document = std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)>;

std::unique_ptr<pugi::xml_document> LoadWithPugixml();
std::unique_ptr<tinyxml2::XMLDocument> LoadWithTinyxml2();
Libxml2Document LoadWithLibxml2();

int MeasuredPugixml();
int MeasuredTinyxml2();
int MeasuredLibxml2();

}  // namespace TolvexBench
