#include "tools/HostTest.h"

#include <chrono>
#include <random>
#include <system_error>

#include "tools/HostLibrary.h"

namespace TolvexHost {

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// The scenario of the calls that follow; false with the reason in error. The old
// in.xml is removed first: the Windows runtime's copy_file refuses to overwrite.
bool UseScenario(const fs::path& source, std::string& error) {
    std::error_code code;
    fs::remove("in.xml", code);
    if (!code) fs::copy_file(source, "in.xml", code);
    if (code) error = "cannot copy " + source.string() + " as in.xml: " + code.message();
    return !code;
}

// The steps run with the library loaded in the current directory.
void RunSteps(TestSuite& suite, const fs::path& folder, const std::vector<ScriptStep>& steps, const std::string& libraryPath) {
    HostLibrary library(libraryPath);
    if (!library.HasEveryExport()) {
        suite.error = suite.name + ": cannot load " + libraryPath + ": " +
                      (library.Loaded() ? "an export is missing" : library.LoadError());
        return;
    }
    for (const ScriptStep& step : steps) {
        if (step.IsUse()) {
            std::string error;
            if (UseScenario(folder / step.useFile, error)) continue;
            suite.error = suite.name + ":" + std::to_string(step.line) + ": " + error;
            return;
        }
        TestCase testCase;
        testCase.name = "line " + std::to_string(step.line) + ": " + step.text;
        testCase.className = suite.name;
        const Clock::time_point start = Clock::now();
        const CallReport report = MakeCall(library, step.request);
        testCase.seconds = SecondsSince(start);
        testCase.failures = CheckCall(step, report, suite.name);
        suite.cases.push_back(std::move(testCase));
    }
}

}  // namespace

fs::path NewScratchDirectory(const std::string& prefix) {
    std::random_device random;
    fs::path directory;
    do directory = fs::temp_directory_path() / (prefix + std::to_string(random() % 1000000));
    while (!fs::create_directory(directory));
    return directory;
}

TestSuite RunHostTest(const std::string& name, const fs::path& folder, const std::vector<ScriptStep>& steps,
                      const std::string& libraryPath, const fs::path& directory) {
    TestSuite suite;
    suite.name = name;
    const Clock::time_point start = Clock::now();
    const fs::path previous = fs::current_path();
    fs::current_path(directory);
    // Before the first "use", the scenario beside the script; without one the
    // calls meet no in.xml, as a host in an empty folder would.
    std::string error;
    if ((steps.empty() || !steps.front().IsUse()) && fs::exists(folder / "in.xml") && !UseScenario(folder / "in.xml", error))
        suite.error = name + ": " + error;
    else
        RunSteps(suite, folder, steps, libraryPath);
    fs::current_path(previous);
    suite.seconds = SecondsSince(start);
    return suite;
}

}  // namespace TolvexHost
