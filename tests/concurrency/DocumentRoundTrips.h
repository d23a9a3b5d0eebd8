// Document work for a thread of its own: building, rendering, saving to a file
// and loading back, saving with a content handler, binary images and deep clones.
#pragma once

#include <string>
#include <vector>

namespace TolvexTest {

// Runs the given number of rounds with files named after `name` in the current
// directory; returns what went wrong, empty when every round gave the same text.
std::vector<std::string> RunDocumentRoundTrips(const std::string& name, int rounds);

}  // namespace TolvexTest
