// The loader the tests share with tolvex-host, and the library the tests load.
#pragma once

#include <string>

#include "tools/HostLibrary.h"

namespace TolvexTest {

using TolvexHost::CallExport;
using TolvexHost::CallOutcome;
using TolvexHost::HostLibrary;

// The absolute path of the library under test: the one built beside the tests,
// unless the command line names another (--library=PATH).
const std::string& LibraryPath();
void SetLibraryPath(const std::string& path);

}  // namespace TolvexTest
