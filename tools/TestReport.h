// The results of host tests (tolvex-host test, verify) and their forms: one line
// per failure with a closing count, a JUnit XML report as CI servers read it,
// and the same as JSON.
#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace TolvexHost {

struct TestFailure {
    std::string message;  // one line: "script:line: expected ..., got ..."
    std::string detail;   // more lines, e.g. what the call gave back; may be empty
};

struct TestCase {
    std::string name;       // e.g. "line 3: card-info 1001 --inp-kind 1"
    std::string className;  // the suite's name, as JUnit readers group cases
    double seconds = 0;
    std::vector<TestFailure> failures;  // none: passed

    bool Passed() const { return failures.empty(); }
};

struct TestSuite {
    std::string name;  // the script or expectations file
    double seconds = 0;
    std::vector<TestCase> cases;
    // A failure of the suite as a whole (an unreadable file, a scenario that
    // cannot be copied): reported as an error of the suite.
    std::string error;
};

struct TestTotals {
    std::size_t passed = 0, failed = 0;
};
TestTotals Totals(const std::vector<TestSuite>& suites);

// Each failure's message, one a line, then "N passed, M failed".
std::string TestReportText(const std::vector<TestSuite>& suites);
// <testsuites>, a <testsuite> per suite and a <testcase> per case, with counts,
// times and <failure message="...">detail</failure>; written with the project's
// XML library, in UTF-8 (bytes of other code pages become U+0080..U+00FF).
std::string JUnitXml(const std::vector<TestSuite>& suites);
nlohmann::ordered_json TestReportJson(const std::vector<TestSuite>& suites);

}  // namespace TolvexHost
