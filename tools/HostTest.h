// tolvex-host test: each session script runs as a test suite in a scratch
// directory of its own, on copies of the scenario files it names, so that the
// user's in.xml, log and input dumps stay as they are.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "tools/SessionScript.h"
#include "tools/TestReport.h"

namespace TolvexHost {

// A new empty directory under the system's temporary directory, named prefix
// and a number.
std::filesystem::path NewScratchDirectory(const std::string& prefix);

// Runs the script's steps in directory with one load of the library: "use FILE"
// copies folder/FILE there as in.xml; before the first "use", the in.xml of
// folder serves, when there is one. One test case per call, timed. The current
// directory is the same again on return.
TestSuite RunHostTest(const std::string& name, const std::filesystem::path& folder, const std::vector<ScriptStep>& steps,
                      const std::string& libraryPath, const std::filesystem::path& directory);

}  // namespace TolvexHost
