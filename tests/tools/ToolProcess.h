// Runs tolvex-host as its own process in the current directory, as a user would.
// One implementation per platform: ToolProcessPosix.cpp, ToolProcessWindows.cpp.
#pragma once

#include <string>
#include <vector>

namespace TolvexTest {

struct ToolRun {
    int status = -1;  // the exit status (POSIX: -1 when a signal ended the tool)
    std::string out;  // standard output and error, each as the bytes the tool wrote
    std::string err;
};

ToolRun RunTool(const std::vector<std::string>& arguments);

}  // namespace TolvexTest
