// Deterministic scenario-like XML documents for the benchmarks: a declaration,
// then under Root many answer elements with a dozen and more attributes each,
// each holding output children with text and character references, and comments
// between them.
#pragma once

#include <cstddef>
#include <string>

namespace TolvexBench {

// A document of at least minimumSize bytes; the same size gives the same bytes.
std::string ScenarioDocument(std::size_t minimumSize);

}  // namespace TolvexBench
