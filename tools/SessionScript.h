// Session scripts: one call per line, each optionally followed by "expect"
// lines, and "use FILE" lines that choose the scenario of the calls after them.
// Parsing is a pure function of the text: every line is checked before anything
// runs, and input files named by --input-file are read later (LoadScriptInputs).
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/CallReport.h"
#include "tools/Expectation.h"
#include "tools/HostCalls.h"
#include "tools/TestReport.h"

namespace TolvexHost {

struct ScriptStep {
    std::size_t line = 0;
    std::string text;     // the line as written, without its line end
    std::string useFile;  // "use FILE": the file; empty for a call
    CallRequest request;
    std::vector<Expectation> expectations;

    bool IsUse() const { return !useFile.empty(); }
};

// UsageError with one "name:line: what was expected" line per bad line.
std::vector<ScriptStep> ParseSessionScript(const std::string& text, const std::string& name);

// Reads the calls' input files, relative to base; UsageError naming each bad line.
void LoadScriptInputs(std::vector<ScriptStep>& steps, const std::filesystem::path& base, const std::string& name);

// What the call gave back against what its step expects: one failure per unmet
// expectation, "name:line: expected ..., got ...". A call that fails meets its
// step only when the step expects a failure.
std::vector<TestFailure> CheckCall(const ScriptStep& step, const CallReport& report, const std::string& name);

}  // namespace TolvexHost
