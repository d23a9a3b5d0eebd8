// RunTool on POSIX systems: the tool at its path in the build tree, started
// through the shell with its output redirected to files.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "support/ScratchDirectory.h"
#include "tools/ToolProcess.h"

namespace TolvexTest {

namespace {

std::string ShellQuoted(const std::string& word) {
    std::string quoted = "'";
    for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

}  // namespace

ToolRun RunTool(const std::vector<std::string>& arguments) {
    std::string command = ShellQuoted(TOLVEX_HOST_TOOL);
    for (const std::string& argument : arguments) command += " " + ShellQuoted(argument);
    // Beside the scratch directory, not in it, and apart for tests that run in parallel.
    const std::string stem = "tolvex-host-test-" + std::to_string(::getpid());
    const std::filesystem::path out = std::filesystem::temp_directory_path() / (stem + ".out");
    const std::filesystem::path err = std::filesystem::temp_directory_path() / (stem + ".err");
    command += " >" + ShellQuoted(out.string()) + " 2>" + ShellQuoted(err.string());
    const int raw = std::system(command.c_str());
    ToolRun run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = ReadWholeFile(out);
    run.err = ReadWholeFile(err);
    std::filesystem::remove(out);
    std::filesystem::remove(err);
    return run;
}

}  // namespace TolvexTest
