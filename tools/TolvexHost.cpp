// tolvex-host: loads Tolvex29 as a point-of-sale host does and calls its exports
// from the command line or a script; also compiles, renders and checks scenario
// files with the library's own XML code.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif

#include "base/Exception.h"
#include "host/Tolvex29.h"
#include "tools/ArgumentValues.h"
#include "tools/CommandLine.h"
#include "tools/Demo.h"
#include "tools/DocumentCommands.h"
#include "tools/ExampleScenario.h"
#include "tools/Explain.h"
#include "tools/HostCalls.h"
#include "tools/HostTest.h"
#include "tools/JsonText.h"
#include "tools/LibraryLocation.h"
#include "tools/LogCommand.h"
#include "tools/ScenarioCheck.h"
#include "tools/SessionScript.h"
#include "tools/Snapshot.h"
#include "tools/TestReport.h"
#include "tools/VerifyCommand.h"
#include "tools/Version.h"
#include "xml/TolvexXmlUnit.h"

namespace {

using namespace TolvexHost;
namespace fs = std::filesystem;

enum ExitStatus { Completed = 0, Failed = 1, BadUsage = 2 };

const char* const Usage =
    "usage: tolvex-host [-C DIR] [--library PATH] [--json] COMMAND [ARGUMENTS]\n"
    "  -C DIR          work in DIR (in.xml, tolvex.log, In<unit>.txt and relative paths)\n"
    "  --library PATH  the library to load (default: the one beside tolvex-host)\n"
    "  --json          print each result as one line of JSON\n"
    "  --version       print the version and build of tolvex-host and of the library\n"
    "calls (each loads the library, makes one call and prints what came back):\n"
    "%s"
    "other commands:\n"
    "  run SCRIPT            one call per line, in one process (# starts a comment),\n"
    "                        each checked against the expect lines after it\n"
    "  test SCRIPT... [--keep] [--junit FILE] [--json]\n"
    "                        each script as a test suite in a scratch directory, on the\n"
    "                        scenarios its use lines name; --keep leaves the directories\n"
    "  demo                  a short session on the example scenario in a fresh directory\n"
    "  compile FILE OUT      save FILE as a binary XML image\n"
    "  render FILE [--compact]  print FILE as the library renders it\n"
    "  check [FILE]          check a scenario file (default in.xml)\n"
    "  explain CALL ARGS     what the call would answer from in.xml and why, without calling it\n"
    "  snapshot [LOG] [--output FILE]  a draft in.xml answering every call of LOG (default tolvex.log)\n"
    "  log [FILE]            the calls of a log (default tolvex.log), a line each\n"
    "  verify EXPECTATIONS [--junit FILE]  check tolvex.log and the dumps against EXPECTATIONS\n"
    "exit status: 0 completed, 1 a call or command failed, 2 bad usage\n";

struct Options {
    std::string library;
    bool json = false;
    bool version = false;
};

// The library to load, as an absolute path: --library's, or the one beside the tool.
std::string LibraryPath(const Options& options) {
    return fs::absolute(options.library.empty() ? DefaultLibraryPath() : options.library).string();
}

std::string ReadFile(const std::string& name) {
    std::ifstream file(name, std::ios::binary);
    if (!file) throw UsageError("cannot read " + name);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// A failure of a command that runs the XML library in this process.
std::string Describe(const std::exception& error) {
    const auto* failure = dynamic_cast<const Platform::Exception*>(&error);
    return std::string(failure ? failure->ClassName() : "error") + ": " + error.what();
}

// Runs the script's calls in one loaded library, printing each report and the
// expectations it does not meet; echo shows each call's line first (the demo).
int RunCalls(const Options& options, const std::vector<ScriptStep>& steps, const std::string& name, bool echo = false) {
    const std::string path = LibraryPath(options);
    HostLibrary library(path);
    if (!library.HasEveryExport()) {
        std::fprintf(stderr, "tolvex-host: cannot load %s%s%s\n", path.c_str(),
                     library.Loaded() ? ": an export is missing" : ": ", library.LoadError().c_str());
        return Failed;
    }
    int status = Completed;
    for (const ScriptStep& step : steps) {
        if (echo) std::printf("\n$ %s\n", step.text.c_str());
        const CallReport report = MakeCall(library, step.request);
        const std::vector<TestFailure> failures = CheckCall(step, report, name);
        if (!failures.empty()) status = Failed;
        // A call without expectations shows its failure in its report alone.
        const bool showFailures = !step.expectations.empty();
        std::string text;
        if (options.json) {
            nlohmann::ordered_json json = ReportJsonValue(report);
            if (showFailures && !failures.empty()) {
                nlohmann::ordered_json& unmet = json["unmet"] = nlohmann::ordered_json::array();
                for (const TestFailure& failure : failures) unmet.push_back(JsonText(failure.message));
            }
            text = json.dump() + "\n";
        } else {
            text = ReportText(report);
            if (showFailures)
                for (const TestFailure& failure : failures) text.append(failure.message).append("\n");
        }
        std::fwrite(text.data(), 1, text.size(), stdout);
        std::fflush(stdout);
    }
    return status;
}

// run works on the in.xml of the current directory, which "use" would have to
// overwrite: it is left to test, which works on copies.
int RunScript(const Options& options, const std::string& script) {
    std::vector<ScriptStep> steps = ParseSessionScript(ReadFile(script), script);
    std::string errors;
    for (const ScriptStep& step : steps)
        if (step.IsUse())
            errors += script + ":" + std::to_string(step.line) +
                      ": use works under tolvex-host test, which copies the scenario into a scratch directory; "
                      "run calls on the in.xml of the current directory\n";
    if (!errors.empty()) throw UsageError(errors.substr(0, errors.size() - 1));
    LoadScriptInputs(steps, {}, script);
    return RunCalls(options, steps, script);
}

struct TestScript {
    std::string name;
    fs::path folder;
    std::vector<ScriptStep> steps;
};

// Every script is read and parsed before any runs: a bad line runs nothing.
std::vector<TestScript> ReadTestScripts(const std::vector<std::string>& names) {
    std::vector<TestScript> scripts;
    std::string errors;
    for (const std::string& name : names) {
        try {
            const fs::path folder = fs::absolute(name).parent_path();
            std::vector<ScriptStep> steps = ParseSessionScript(ReadFile(name), name);
            LoadScriptInputs(steps, folder, name);
            for (const ScriptStep& step : steps)
                if (step.IsUse() && !fs::is_regular_file(folder / step.useFile))
                    errors += name + ":" + std::to_string(step.line) + ": use: cannot read " + step.useFile + "\n";
            scripts.push_back({name, folder, std::move(steps)});
        } catch (const UsageError& error) {
            errors.append(error.what()).append("\n");
        }
    }
    if (!errors.empty()) throw UsageError(errors.substr(0, errors.size() - 1));
    return scripts;
}

int Test(const Options& options, Arguments& arguments) {
    std::vector<std::string> names;
    std::string junit;
    bool keep = false, json = options.json;
    while (!arguments.Done()) {
        const std::string option = arguments.NextOption();
        if (option == "--keep")
            keep = true;
        else if (option == "--json")
            json = true;
        else if (option == "--junit")
            junit = arguments.Value(option);
        else if (!option.empty())
            arguments.Unknown(option);
        else
            names.push_back(arguments.Positional("script"));
    }
    if (names.empty()) throw UsageError("test: missing script");
    const std::vector<TestScript> scripts = ReadTestScripts(names);
    const std::string library = LibraryPath(options);
    std::vector<TestSuite> suites;
    for (const TestScript& script : scripts) {
        const fs::path directory = NewScratchDirectory("tolvex-test-");
        suites.push_back(RunHostTest(script.name, script.folder, script.steps, library, directory));
        if (keep) {
            const std::string line = script.name + ": kept " + directory.string() + "\n";
            std::fputs(line.c_str(), json ? stderr : stdout);
        } else {
            std::error_code ignored;  // a directory that cannot be removed is left behind
            fs::remove_all(directory, ignored);
        }
    }
    if (!junit.empty()) {
        std::ofstream file(junit, std::ios::binary);
        if (!(file << JUnitXml(suites))) throw UsageError("cannot write " + junit);
    }
    const std::string text = json ? TestReportJson(suites).dump() + "\n" : TestReportText(suites);
    std::fwrite(text.data(), 1, text.size(), stdout);
    return Totals(suites).failed == 0 ? Completed : Failed;
}

void PrintFile(const fs::path& file) {
    const std::string content = ReadFile(file.string());
    std::printf("\n--- %s ---\n", file.filename().string().c_str());
    std::fwrite(content.data(), 1, content.size(), stdout);
    if (!content.empty() && content.back() != '\n') std::printf("\n");
}

int Demo(const Options& options) {
    const fs::path directory = NewScratchDirectory("tolvex-demo-");
    const Options demoOptions{LibraryPath(options), false};
    fs::current_path(directory);
    std::ofstream(directory / "in.xml", std::ios::binary) << ExampleScenarioText;
    std::printf("Working in %s with the example scenario as in.xml.\n", directory.string().c_str());
    const int status = RunCalls(demoOptions, ParseSessionScript(DemoScript, "demo"), "demo", true);
    // The library is unloaded now, so its log is complete.
    std::vector<fs::path> files{directory / "tolvex.log"};
    std::vector<fs::path> dumps;
    for (const fs::directory_entry& entry : fs::directory_iterator(directory))
        if (entry.path().filename().string().rfind("In", 0) == 0) dumps.push_back(entry.path());
    std::sort(dumps.begin(), dumps.end());
    files.insert(files.end(), dumps.begin(), dumps.end());
    for (const fs::path& file : files) PrintFile(file);
    return status;
}

int Check(const Options& options, Arguments& arguments) {
    const std::string file = arguments.Done() ? "in.xml" : arguments.Positional("file");
    arguments.ExpectEnd();
    const std::vector<Finding> findings = CheckScenario(file);
    const std::string text = options.json ? FindingsJson(file, findings) + "\n" : FindingsText(file, findings);
    std::fwrite(text.data(), 1, text.size(), stdout);
    return HasErrors(findings) ? Failed : Completed;
}

// The call's explanation; the exit status is the one the call would give.
int Explain(const Options& options, const std::vector<std::string>& callWords) {
    if (callWords.empty()) throw UsageError("explain needs a call (card-info, transactions, card-image, find-email)");
    const CallRequest request = ParseCallRequest(callWords);
    const Explanation explanation = ExplainCall(request);
    const std::string file = Tolvex29::ScenarioFileName;
    const std::string text = options.json ? ExplanationJson(explanation, request, file) + "\n"
                                          : ExplanationText(explanation, request, file);
    std::fwrite(text.data(), 1, text.size(), stdout);
    return explanation.report.outcome.failed ? Failed : Completed;
}

// The draft goes to FILE or standard output; what the log reader could not read
// goes to standard error, and makes the status 1 (the draft still answers the rest).
int Snapshot(Arguments& arguments) {
    std::string log = "tolvex.log", output;
    bool logGiven = false;
    while (!arguments.Done()) {
        const std::string option = arguments.NextOption();
        if (option == "--output") {
            output = arguments.Value(option);
        } else if (!option.empty()) {
            arguments.Unknown(option);
        } else {
            if (logGiven) arguments.ExpectEnd();
            log = arguments.Positional("log");
            logGiven = true;
        }
    }
    const SnapshotDraft draft = SnapshotScenario(log);
    for (const LogError& error : draft.errors) std::fprintf(stderr, "%s\n", error.Text().c_str());
    if (output.empty()) {
        std::fwrite(draft.xml.data(), 1, draft.xml.size(), stdout);
    } else {
        std::ofstream file(output, std::ios::binary);
        if (!(file << draft.xml)) throw UsageError("cannot write " + output);
    }
    return draft.errors.empty() ? Completed : Failed;
}

int Compile(Arguments& arguments) {
    const std::string source = arguments.Positional("file"), target = arguments.Positional("output file");
    arguments.ExpectEnd();
    CompileDocument(source, target);
    std::printf("%s: binary image of %s\n", target.c_str(), source.c_str());
    return Completed;
}

int Render(Arguments& arguments) {
    const std::string source = arguments.Positional("file");
    bool compact = false;
    for (std::string option = arguments.NextOption(); !option.empty(); option = arguments.NextOption()) {
        if (option != "--compact") arguments.Unknown(option);
        compact = true;
    }
    arguments.ExpectEnd();
    const std::string xml = RenderDocument(source, compact);
    std::fwrite(xml.data(), 1, xml.size(), stdout);
    if (!xml.empty() && xml.back() != '\n') std::printf("\n");
    return Completed;
}

int RunCommand(const Options& options, const std::vector<std::string>& words) {
    const std::string& command = words[0];
    if (IsCallCommand(command)) {
        ScriptStep call;
        call.request = ParseCallRequest(words);
        return RunCalls(options, {call}, command);
    }
    Arguments arguments(command, std::vector<std::string>(words.begin() + 1, words.end()));
    if (command == "run") {
        const std::string script = arguments.Positional("script");
        arguments.ExpectEnd();
        return RunScript(options, script);
    }
    if (command == "test") return Test(options, arguments);
    if (command == "explain") return Explain(options, std::vector<std::string>(words.begin() + 1, words.end()));
    if (command == "demo") {
        arguments.ExpectEnd();
        return Demo(options);
    }
    try {
        if (command == "check") return Check(options, arguments);
        if (command == "compile") return Compile(arguments);
        if (command == "render") return Render(arguments);
        if (command == "snapshot") return Snapshot(arguments);
        if (command == "log") return LogCommand(arguments, options.json);
        if (command == "verify") return VerifyCommand(arguments, options.json);
    } catch (const UsageError&) {
        throw;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "tolvex-host: %s: %s\n", command.c_str(), Describe(error).c_str());
        return Failed;
    }
    throw UsageError("unknown command " + command);
}

}  // namespace

int main(int argc, char** argv) {
#if defined(_WIN32)
    // The reports carry bytes as the files and the library hold them (the log's
    // CR LF, input dumps, rendered XML): written unchanged, not with every LF made
    // CR LF, so that the output is the same bytes as on other systems.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
    std::vector<std::string> words(argv + 1, argv + argc);
    Options options;
    size_t next = 0;
    try {
        for (; next < words.size() && words[next].rfind("-", 0) == 0; ++next) {
            const std::string& option = words[next];
            if (option == "--help" || option == "-h") {
                std::printf(Usage, CallUsage);
                return Completed;
            }
            if (option == "--json") {
                options.json = true;
                continue;
            }
            if (option == "--version") {
                options.version = true;
                continue;
            }
            if (option != "-C" && option != "--library") throw UsageError("unknown option " + option);
            if (++next == words.size()) throw UsageError(option + " needs a value");
            if (option == "--library") {
                options.library = words[next];
            } else {
                std::error_code error;
                fs::current_path(words[next], error);
                if (error) throw UsageError("-C " + words[next] + ": " + error.message());
            }
        }
        if (options.version) {
            if (next != words.size()) throw UsageError("--version takes no command");
            return PrintVersion(LibraryPath(options)) ? Completed : Failed;
        }
        if (next == words.size()) throw UsageError("no command given");
        TolvexXml::InitializeUnit();
        const int status = RunCommand(options, std::vector<std::string>(words.begin() + next, words.end()));
        TolvexXml::FinalizeUnit();
        return status;
    } catch (const UsageError& error) {
        std::fprintf(stderr, "tolvex-host: %s\n(tolvex-host --help lists the commands)\n", error.what());
        return BadUsage;
    }
}
