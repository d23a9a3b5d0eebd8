// compile and render: the XML library's own loading, binary saving and rendering.
#pragma once

#include <string>

namespace TolvexHost {

// Loads the text (or binary) file and saves it as a binary image.
void CompileDocument(const std::string& source, const std::string& target);

// The document as the library renders it: indented, or compact when asked.
std::string RenderDocument(const std::string& source, bool compact);

}  // namespace TolvexHost
