#include "tools/VerifyCommand.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "tools/Verify.h"

namespace TolvexHost {

namespace {

constexpr const char* LogName = "tolvex.log";

std::optional<std::string> ReadBytes(const std::string& name) {
    std::ifstream file(name, std::ios::binary);
    if (!file) return std::nullopt;
    std::string bytes(std::istreambuf_iterator<char>(file), {});
    if (file.bad()) return std::nullopt;
    return bytes;
}

void Print(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); }

}  // namespace

int VerifyCommand(Arguments& arguments, bool json) {
    std::string expectationsFile, junitFile;
    while (!arguments.Done()) {
        const std::string option = arguments.NextOption();
        if (option == "--json") {
            json = true;
        } else if (option == "--junit") {
            junitFile = arguments.Value(option);
        } else if (!option.empty()) {
            arguments.Unknown(option);
        } else {
            if (!expectationsFile.empty()) arguments.ExpectEnd();
            expectationsFile = arguments.Positional("expectations file");
        }
    }
    if (expectationsFile.empty()) arguments.Positional("expectations file");
    const std::optional<std::string> text = ReadBytes(expectationsFile);
    if (!text) {
        std::fprintf(stderr, "tolvex-host: verify: cannot read %s\n", expectationsFile.c_str());
        return 2;
    }
    const RunExpectations parse = ParseRunExpectations(*text, expectationsFile);
    for (const RunExpectationError& error : parse.errors) std::fprintf(stderr, "%s\n", error.Text().c_str());
    if (!parse.errors.empty()) return 2;

    TestSuite suite;
    try {
        suite = VerifyLog(expectationsFile, parse.expectations, ReadLogFile(LogName), LogName, ReadBytes);
    } catch (const std::runtime_error& error) {
        suite = TestSuite{expectationsFile, 0, {}, std::string(expectationsFile).append(": ").append(error.what())};
    }
    const std::vector<TestSuite> suites{suite};
    Print(json ? TestReportJson(suites).dump() + "\n" : TestReportText(suites));
    int status = Totals(suites).failed == 0 ? 0 : 1;
    if (!junitFile.empty()) {
        std::ofstream junit(junitFile, std::ios::binary);
        if (!(junit << JUnitXml(suites))) {
            std::fprintf(stderr, "tolvex-host: verify: cannot write %s\n", junitFile.c_str());
            status = 1;
        }
    }
    return status;
}

}  // namespace TolvexHost
