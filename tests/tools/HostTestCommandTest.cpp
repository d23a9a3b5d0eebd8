// tolvex-host test and the expectations of session scripts, run as a user runs
// them: scripts beside scenario files, each suite in a scratch directory.
#include <cstdlib>
#include <filesystem>

#include "tools/ToolTestSupport.h"
#include "xml/TolvexXml.h"
#include "xml/TolvexXmlUnit.h"

namespace {

using namespace TolvexTest;
using HostTestCommand = ToolTest;
namespace fs = std::filesystem;

const char* const Passing =
    "card-info 1001 --inp-kind 1\n"
    "  expect result 0\n"
    "  expect Holder \"Anna Petrova\"\n"
    "  expect output kind 2 \"Card 1001 read from the stripe\"\n"
    "card-info 4242\n"
    "  expect result 1\n"
    "  expect untouched Holder WhyLock\n"
    "card-image 1002\n";

const char* const Failing =
    "card-info 1001\n"
    "  expect Bonus 7\n"
    "  expect untouched Account\n"
    "card-image 1001\n"
    "  expect FileName \"cards\\\\gold.bmp\"\n"
    "card-info 1002\n"
    "  expect failure EFOpenError\n";

const char* const FailureLines =
    "failing.txt:2: expected Bonus 7, got Bonus 120\n"
    "failing.txt:3: expected Account untouched, got Account 501\n"
    "failing.txt:7: expected failure EFOpenError, got result 0\n";

std::size_t ElementCount(const TolvexXml::IXmlNode& node, const std::string& name) {
    std::size_t count = 0;
    const TolvexXml::IXmlNodeList children = node->GetChildNodes();
    for (std::int32_t i = 0; i < children->GetCount(); ++i) count += children->GetItem(i)->GetNodeName() == name;
    return count;
}

TEST_F(HostTestCommand, APassingScriptPrintsTheCountAlone) {
    WriteWholeFile("passing.txt", Passing);
    const ToolRun run = RunTool({"test", "passing.txt"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "3 passed, 0 failed\n");
}

TEST_F(HostTestCommand, AFailingScriptPrintsEachUnmetExpectation) {
    WriteWholeFile("failing.txt", Failing);
    const ToolRun run = RunTool({"test", "failing.txt"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, std::string(FailureLines) + "1 passed, 2 failed\n");
}

TEST_F(HostTestCommand, LeavesTheUsersFilesAsTheyAre) {
    WriteWholeFile("passing.txt", Passing);
    const std::string scenario = ReadWholeFile("in.xml");
    ASSERT_EQ(RunTool({"test", "passing.txt"}).status, 0);
    EXPECT_EQ(ReadWholeFile("in.xml"), scenario);
    EXPECT_FALSE(fs::exists("tolvex.log"));
    EXPECT_FALSE(fs::exists("In0.txt"));
}

TEST_F(HostTestCommand, UseSwitchesScenariosRelativeToTheScript) {
    fs::create_directory("suite");
    WriteWholeFile("suite/one.xml", R"(<Root><GetCardImageEx CardCode="5" FileName="one"/></Root>)");
    WriteWholeFile("suite/two.xml", R"(<Root><GetCardImageEx CardCode="5" FileName="two"/></Root>)");
    WriteWholeFile("suite/s.txt",
                   "card-image 1001\n  expect FileName \"cards\\\\gold.bmp\"\n"  // the example in.xml is not beside it
                   "use one.xml\ncard-image 5\n  expect FileName one\n"
                   "use two.xml\ncard-image 5\n  expect FileName one\n");
    const ToolRun run = RunTool({"test", "suite/s.txt"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out.rfind("suite/s.txt:1: expected the call to complete, got failure EFOpenError \"Cannot open file", 0), 0u)
        << run.out;
    EXPECT_NE(run.out.find("suite/s.txt:8: expected FileName \"one\", got FileName \"two\"\n1 passed, 2 failed\n"), std::string::npos) << run.out;
}

TEST_F(HostTestCommand, FailuresAreMatchedByClassAndMessageOrItsBeginning) {
    WriteWholeFile("s.txt",
                   "card-info 1\n  expect failure EFOpenError \"Cannot open file ...\"\n"
                   "card-info 1\n  expect failure EFOpenError \"Cannot read...\"\n");
    fs::create_directory("empty");
    fs::rename("s.txt", "empty/s.txt");
    const ToolRun run = RunTool({"test", "empty/s.txt"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out.rfind("empty/s.txt:4: expected failure EFOpenError \"Cannot read...\", got failure EFOpenError \"Cannot open file", 0), 0u)
        << run.out;
    EXPECT_NE(run.out.find("\n1 passed, 1 failed\n"), std::string::npos) << run.out;
}

TEST_F(HostTestCommand, RunChecksExpectationsAfterEachReportAndRefusesUse) {
    WriteWholeFile("failing.txt", Failing);
    const ToolRun run = RunTool({"run", "failing.txt"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("  (the other fields are 0, false or empty)\nfailing.txt:2: expected Bonus 7"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("failing.txt:7: expected failure EFOpenError, got result 0\n"), std::string::npos) << run.out;
    WriteWholeFile("use.txt", "card-info 1\nuse in.xml\n");
    const ToolRun refused = RunTool({"run", "use.txt"});
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find("use.txt:2: use works under tolvex-host test"), std::string::npos) << refused.err;
}

TEST_F(HostTestCommand, ABadLineRunsNoScript) {
    WriteWholeFile("passing.txt", Passing);
    WriteWholeFile("bad.txt", "card-info 1\n  expect Discont 5\n");
    WriteWholeFile("missing.txt", "card-info 1\n\nuse missing.xml\n");
    const ToolRun run = RunTool({"test", "passing.txt", "bad.txt", "missing.txt", "--keep"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("bad.txt:2: \"Discont\" is not a field of the GetCardInfoEx record"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("missing.txt:3: use: cannot read missing.xml"), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
}

TEST_F(HostTestCommand, KeepLeavesTheScratchDirectoryWithTheLog) {
    WriteWholeFile("passing.txt", Passing);
    const ToolRun run = RunTool({"test", "passing.txt", "--keep"});
    ASSERT_EQ(run.status, 0);
    const std::string kept = "passing.txt: kept ";
    ASSERT_EQ(run.out.rfind(kept, 0), 0u) << run.out;
    const fs::path directory = run.out.substr(kept.size(), run.out.find('\n') - kept.size());
    const bool logged = ReadWholeFile(directory / "tolvex.log").find("GetCardInfoEx") != std::string::npos;
    const std::string scenario = ReadWholeFile(directory / "in.xml");
    fs::remove_all(directory);
    EXPECT_TRUE(logged);
    EXPECT_EQ(scenario, ReadWholeFile("in.xml"));
}

TEST_F(HostTestCommand, JsonCountsEverySuiteAndCase) {
    WriteWholeFile("failing.txt", Failing);
    const ToolRun run = RunTool({"test", "failing.txt", "--json"});
    EXPECT_EQ(run.status, 1);
    const JsonValue json = ParseJson(run.out);
    EXPECT_EQ(json["failed"].text, "2");
    ASSERT_EQ(json["suites"].items.size(), 1u);
    const JsonValue& cases = json["suites"].items[0]["cases"];
    ASSERT_EQ(cases.items.size(), 3u);
    EXPECT_EQ(cases.items[0]["name"].text, "line 1: card-info 1001");
    EXPECT_EQ(cases.items[0]["failures"].items.size(), 2u);
    EXPECT_EQ(cases.items[1]["passed"].text, "true");
}

TEST_F(HostTestCommand, JUnitReportReadsBackAsOneSuitePerScript) {
    WriteWholeFile("passing.txt", Passing);
    WriteWholeFile("failing.txt", Failing);
    const ToolRun run = RunTool({"test", "passing.txt", "failing.txt", "--junit", "report.xml"});
    EXPECT_EQ(run.status, 1);
    TolvexXml::InitializeUnit();
    {
        const TolvexXml::IXmlDocument document(new TolvexXml::TXmlDocument(TolvexXml::GlobalNameTable()));
        document->LoadXML(ReadWholeFile("report.xml"));
        const TolvexXml::IXmlElement all = document->GetDocumentElement();
        EXPECT_EQ(all->GetNodeName(), "testsuites");
        EXPECT_EQ(all->GetAttrText("tests", ""), "6");
        EXPECT_EQ(all->GetAttrText("failures", ""), "2");
        ASSERT_EQ(ElementCount(all, "testsuite"), 2u);
        const TolvexXml::IXmlNode failing = all->GetChildNodes()->GetItem(1);
        EXPECT_EQ(ElementCount(failing, "testcase"), 3u);
        EXPECT_EQ(ElementCount(failing->GetChildNodes()->GetItem(0), "failure"), 2u);
        EXPECT_EQ(ElementCount(failing->GetChildNodes()->GetItem(1), "failure"), 0u);
    }
    TolvexXml::FinalizeUnit();
#ifndef _WIN32
    EXPECT_EQ(std::system("xmllint --noout report.xml"), 0);
#endif
}

}  // namespace
