// The XML parser: TXmlNodeList::ParseChildren (declared with the node list) reads
// a sequence of nodes from a TXmlSource, recursively for the content of every
// element. Recursion is bounded: an element nested deeper than MaxElementDepth
// fails the load with TolvexXmlException (MaxDepthMessage), so no input can
// exhaust a host thread's stack here or in the recursive walks of the tree.
#pragma once

#include <cstdint>

namespace TolvexXml {

inline constexpr std::int32_t MaxElementDepth = 256;
inline constexpr const char* MaxDepthMessage = "Elements are nested deeper than 256 levels";

}  // namespace TolvexXml
