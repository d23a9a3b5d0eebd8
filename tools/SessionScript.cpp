#include "tools/SessionScript.h"

#include <algorithm>

#include "tools/ArgumentValues.h"
#include "tools/CommandLine.h"

namespace TolvexHost {

namespace {

std::string Place(const std::string& name, std::size_t line) { return name + ":" + std::to_string(line) + ": "; }

void ParseLine(const std::vector<std::string>& words, std::size_t line, std::vector<ScriptStep>& steps) {
    if (words[0] == "expect") {
        if (steps.empty() || steps.back().IsUse()) throw UsageError("expect needs a call on a line before it");
        ScriptStep& call = steps.back();
        for (Expectation& expectation :
             ParseExpectation(std::vector<std::string>(words.begin() + 1, words.end()), call.request.call)) {
            expectation.line = line;
            if (expectation.kind == Expectation::Kind::Untouched) call.request.markRecord = true;
            call.expectations.push_back(std::move(expectation));
        }
        return;
    }
    ScriptStep step;
    step.line = line;
    if (words[0] == "use") {
        if (words.size() != 2 || words[1].empty()) throw UsageError("use FILE: one scenario file");
        step.useFile = words[1];
    } else if (IsCallCommand(words[0])) {
        step.request = ReadCallRequest(words);
    } else {
        throw UsageError("\"" + words[0] + "\" is not a call (card-info, transactions, card-image, find-email), expect or use");
    }
    steps.push_back(std::move(step));
}

}  // namespace

std::vector<ScriptStep> ParseSessionScript(const std::string& text, const std::string& name) {
    std::vector<ScriptStep> steps;
    std::string errors;
    std::size_t lineNumber = 0, start = 0;
    bool callOk = true;  // an expect line after a bad call is not reported again
    while (start < text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        std::string line = text.substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        line.erase(line.find_last_not_of('\r') + 1);
        try {
            const std::vector<std::string> words = SplitWords(line);
            if (words.empty()) continue;
            const bool expectLine = words[0] == "expect";
            if (expectLine && !callOk) continue;
            if (!expectLine) callOk = false;
            ParseLine(words, lineNumber, steps);
            if (!expectLine) {
                steps.back().text = line.substr(line.find_first_not_of(" \t"));
                callOk = true;
            }
        } catch (const UsageError& error) {
            errors += Place(name, lineNumber) + error.what() + "\n";
        }
    }
    if (!errors.empty()) throw UsageError(errors.substr(0, errors.size() - 1));
    return steps;
}

void LoadScriptInputs(std::vector<ScriptStep>& steps, const std::filesystem::path& base, const std::string& name) {
    std::string errors;
    for (ScriptStep& step : steps) {
        try {
            LoadCallInput(step.request, base);
        } catch (const UsageError& error) {
            errors += Place(name, step.line) + error.what() + "\n";
        }
    }
    if (!errors.empty()) throw UsageError(errors.substr(0, errors.size() - 1));
}

std::vector<TestFailure> CheckCall(const ScriptStep& step, const CallReport& report, const std::string& name) {
    const bool failureExpected =
        std::any_of(step.expectations.begin(), step.expectations.end(),
                    [](const Expectation& expectation) { return expectation.kind == Expectation::Kind::Failure; });
    const std::string detail = ReportText(report);
    if (report.outcome.failed && !failureExpected)
        return {{Place(name, step.line) + "expected the call to complete, got failure " + report.outcome.className + " " +
                     Quoted(report.outcome.message),
                 detail}};
    std::vector<TestFailure> failures;
    for (const Expectation& expectation : step.expectations)
        if (const std::optional<std::string> unmet = Unmet(expectation, report))
            failures.push_back({Place(name, expectation.line) + *unmet, detail});
    return failures;
}

}  // namespace TolvexHost
