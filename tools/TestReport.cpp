#include "tools/TestReport.h"

#include <cstdio>

#include "tools/JsonText.h"
#include "xml/TolvexXml.h"

namespace TolvexHost {

namespace {

using TolvexXml::IXmlElement;

std::string Seconds(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", seconds);
    return text;
}

std::size_t FailedCases(const TestSuite& suite) {
    std::size_t failed = 0;
    for (const TestCase& testCase : suite.cases) failed += !testCase.Passed();
    return failed;
}

double SuiteSeconds(const std::vector<TestSuite>& suites) {
    double seconds = 0;
    for (const TestSuite& suite : suites) seconds += suite.seconds;
    return seconds;
}

void SetCounts(const IXmlElement& element, std::size_t tests, std::size_t failures, std::size_t errors, double seconds) {
    element->SetAttrText("tests", std::to_string(tests));
    element->SetAttrText("failures", std::to_string(failures));
    element->SetAttrText("errors", std::to_string(errors));
    element->SetAttrText("time", Seconds(seconds));
}

}  // namespace

TestTotals Totals(const std::vector<TestSuite>& suites) {
    TestTotals totals;
    for (const TestSuite& suite : suites) {
        const std::size_t failed = FailedCases(suite) + (suite.error.empty() ? 0 : 1);
        totals.failed += failed;
        totals.passed += suite.cases.size() - FailedCases(suite);
    }
    return totals;
}

std::string TestReportText(const std::vector<TestSuite>& suites) {
    std::string text;
    for (const TestSuite& suite : suites) {
        if (!suite.error.empty()) text += suite.error + "\n";
        for (const TestCase& testCase : suite.cases)
            for (const TestFailure& failure : testCase.failures) text += failure.message + "\n";
    }
    const TestTotals totals = Totals(suites);
    return text + std::to_string(totals.passed) + " passed, " + std::to_string(totals.failed) + " failed\n";
}

std::string JUnitXml(const std::vector<TestSuite>& suites) {
    const TolvexXml::IXmlDocument document(new TolvexXml::TXmlDocument(TolvexXml::GlobalNameTable()));
    const IXmlElement all = document->NewDocument("1.0", "UTF-8", "testsuites");
    std::size_t tests = 0, failures = 0, errors = 0;
    for (const TestSuite& suite : suites) {
        const IXmlElement element = all->AppendElement("testsuite");
        element->SetAttrText("name", JsonText(suite.name));
        const std::size_t suiteErrors = suite.error.empty() ? 0 : 1;
        SetCounts(element, suite.cases.size(), FailedCases(suite), suiteErrors, suite.seconds);
        element->SetAttrText("skipped", "0");
        tests += suite.cases.size();
        failures += FailedCases(suite);
        errors += suiteErrors;
        if (!suite.error.empty()) element->AppendElement("system-err")->AppendText(JsonText(suite.error));
        for (const TestCase& testCase : suite.cases) {
            const IXmlElement caseElement = element->AppendElement("testcase");
            caseElement->SetAttrText("name", JsonText(testCase.name));
            caseElement->SetAttrText("classname", JsonText(testCase.className));
            caseElement->SetAttrText("time", Seconds(testCase.seconds));
            for (const TestFailure& failure : testCase.failures) {
                const IXmlElement failureElement = caseElement->AppendElement("failure");
                failureElement->SetAttrText("message", JsonText(failure.message));
                failureElement->SetAttrText("type", "expectation");
                if (!failure.detail.empty()) failureElement->AppendText(JsonText(failure.detail));
            }
        }
    }
    all->SetAttrText("name", "tolvex-host");
    SetCounts(all, tests, failures, errors, SuiteSeconds(suites));
    return document->GetXML() + "\n";
}

nlohmann::ordered_json TestReportJson(const std::vector<TestSuite>& suites) {
    nlohmann::ordered_json json;
    const TestTotals totals = Totals(suites);
    json["passed"] = totals.passed;
    json["failed"] = totals.failed;
    nlohmann::ordered_json& list = json["suites"] = nlohmann::ordered_json::array();
    for (const TestSuite& suite : suites) {
        nlohmann::ordered_json item;
        item["name"] = JsonText(suite.name);
        item["time"] = suite.seconds;
        if (!suite.error.empty()) item["error"] = JsonText(suite.error);
        nlohmann::ordered_json& cases = item["cases"] = nlohmann::ordered_json::array();
        for (const TestCase& testCase : suite.cases) {
            nlohmann::ordered_json entry;
            entry["name"] = JsonText(testCase.name);
            entry["passed"] = testCase.Passed();
            entry["time"] = testCase.seconds;
            nlohmann::ordered_json& failures = entry["failures"] = nlohmann::ordered_json::array();
            for (const TestFailure& failure : testCase.failures)
                failures.push_back({{"message", JsonText(failure.message)}, {"detail", JsonText(failure.detail)}});
            cases.push_back(std::move(entry));
        }
        list.push_back(std::move(item));
    }
    return json;
}

}  // namespace TolvexHost
