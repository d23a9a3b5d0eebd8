// log and verify as a user runs them, after a session that `run` made: the log as
// a table and as JSON lines, verify's exit statuses, and its JUnit report read
// back with the XML library (and, natively, judged well-formed by xmllint).
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/ToolTestSupport.h"
#include "xml/TolvexXml.h"
#include "xml/TolvexXmlUnit.h"

namespace {

using namespace TolvexTest;

class VerifyCommand : public ToolTest {
protected:
    // Log: 1 load, 2 GetCardInfoEx (3 its output), 4 TransactionEx (5 dump, 6-7 its
    // transaction), 8 GetCardImageEx.
    void SetUp() override {
        ToolTest::SetUp();
        WriteWholeFile("session.txt",
                       "card-info 1001 --rest 1 --unit 2 --inp-kind 1 --input \"stripe;1001;\"\n"
                       "transactions --input batch-7 --tx card=1001,account=501,kind=1,summa=123.45,unit=2,rest=1,"
                       "check=10,date=2026-12-08,vat1=20.00:20.58\n"
                       "card-image 1001\n");
        const ToolRun run = RunTool({"run", "session.txt"});
        ASSERT_EQ(run.status, 0) << run.err;
    }
};

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t start = 0, end; start < text.size(); start = end + 1) {
        end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

// The line's text after its date-time: every call line has one, in the machine's form.
std::string AfterDateTime(const std::string& line, const std::string& name) {
    const std::size_t at = line.find("  " + name);
    return at == std::string::npos ? line : line.substr(0, 7) + "<DT>" + line.substr(at);
}

TEST_F(VerifyCommand, LogPrintsATableOfCalls) {
    const ToolRun run = RunTool({"log"});
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<std::string> lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 7u) << run.out;
    lines[1] = AfterDateTime(lines[1], "GetCardInfoEx");
    lines[3] = AfterDateTime(lines[3], "TransactionsEx");
    lines[6] = AfterDateTime(lines[6], "GetCardImageEx");
    // Amounts stand with a decimal point, whatever separator the log has.
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "    1  library loaded",
                         "    2  <DT>  GetCardInfoEx card=1001 rest=1 unit=2 inplen=12 inpkind=1",
                         "    3      output outkind=2 outlen=0",
                         "    4  <DT>  TransactionsEx count=1 inplen=7 inpkind=0",
                         "    5      dump In2.txt",
                         "    6      transaction card=1001 account=501 rest=1 unit=2 check=10 date=08.12.2026 kind=1 "
                         "summa=123.45 vat1=20.00:20.58",
                         "    8  <DT>  GetCardImageEx card=1001",
                     }));
}

TEST_F(VerifyCommand, LogJsonIsAnObjectPerEntry) {
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"--json", "log"}, std::vector<std::string>{"log", "tolvex.log", "--json"}}) {
        const ToolRun run = RunTool(arguments);
        ASSERT_EQ(run.status, 0) << run.err;
        const std::vector<std::string> lines = Lines(run.out);
        ASSERT_EQ(lines.size(), 4u) << run.out;
        EXPECT_EQ(ParseJson(lines[0])["event"].text, "load");
        EXPECT_EQ(ParseJson(lines[1])["Output"]["OutKind"].text, "2");
        EXPECT_EQ(ParseJson(lines[2])["Transactions"].items.at(0)["Dump"]["file"].text, "In2.txt");
        EXPECT_EQ(ParseJson(lines[3])["call"].text, "GetCardImageEx");
    }
}

TEST_F(VerifyCommand, LogReportsUnreadableLinesAndFails) {
    WriteWholeFile("tolvex.log", ReadWholeFile("tolvex.log") + "garbage\r\n");
    const ToolRun run = RunTool({"log"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err.rfind("tolvex.log:9: cannot read", 0), 0u) << run.err;
    EXPECT_NE(run.out.find("GetCardImageEx card=1001"), std::string::npos) << run.out;
    EXPECT_EQ(RunTool({"log", "no-such.log"}).status, 1);
}

TEST_F(VerifyCommand, PassesWhenEveryExpectationHolds) {
    WriteWholeFile("session.verify",
                   "GetCardInfoEx card=1001 inpkind=1 exactly 1\n"
                   "order: GetCardInfoEx, TransactionsEx, GetCardImageEx\n"
                   "transaction card=1001 account=501 summa=123.45\n"
                   "dump unit=2 contains batch\n");
    const ToolRun run = RunTool({"verify", "session.verify"});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(run.out, "4 passed, 0 failed\n");
}

TEST_F(VerifyCommand, FailuresGiveStatusOneAndAJUnitReport) {
    WriteWholeFile("session.verify",
                   "FindEmail\n"
                   "GetCardImageEx card=1001\n"
                   "GetCardInfoEx never\n");
    const ToolRun run = RunTool({"verify", "session.verify", "--junit", "report.xml"});
    EXPECT_EQ(run.status, 1);
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 3u) << run.out;
    EXPECT_EQ(lines[0], "session.verify:1: expected FindEmail, got 0 matches; no FindEmail in tolvex.log");
    EXPECT_EQ(lines[1], "session.verify:3: expected GetCardInfoEx never, got 1 match: tolvex.log:2");
    EXPECT_EQ(lines[2], "1 passed, 2 failed");

    TolvexXml::InitializeUnit();
    {
        const TolvexXml::IXmlDocument report(new TolvexXml::TXmlDocument(TolvexXml::GlobalNameTable()));
        report->LoadXML(ReadWholeFile("report.xml"));
        const TolvexXml::IXmlElement all = report->GetDocumentElement();
        EXPECT_EQ(all->GetNodeName(), "testsuites");
        const TolvexXml::IXmlNode suite = all->SelectElement("testsuite");
        ASSERT_TRUE(suite);
        EXPECT_EQ(suite->GetAttrText("name", ""), "session.verify");
        EXPECT_EQ(suite->GetAttrText("tests", ""), "3");
        EXPECT_EQ(suite->GetAttrText("failures", ""), "2");
        const TolvexXml::IXmlNodeList cases = suite->SelectNodes("testcase");
        ASSERT_EQ(cases->GetCount(), 3);
        EXPECT_EQ(cases->GetItem(1)->GetAttrText("name", ""), "line 2: GetCardImageEx card=1001");
        EXPECT_FALSE(cases->GetItem(1)->SelectElement("failure"));
        const TolvexXml::IXmlNode failure = cases->GetItem(2)->SelectElement("failure");
        ASSERT_TRUE(failure);
        EXPECT_EQ(failure->GetAttrText("message", ""), lines[1]);
    }
    TolvexXml::FinalizeUnit();
#ifndef _WIN32
    EXPECT_EQ(std::system("xmllint --noout report.xml"), 0);
#endif
}

TEST_F(VerifyCommand, JsonReportsTheSuite) {
    WriteWholeFile("session.verify", "FindEmail never\nFindEmail\n");
    const ToolRun run = RunTool({"verify", "session.verify", "--json"});
    EXPECT_EQ(run.status, 1);
    const JsonValue report = ParseJson(run.out);
    EXPECT_EQ(report["passed"].text, "1") << run.out;
    EXPECT_EQ(report["failed"].text, "1") << run.out;
}

TEST_F(VerifyCommand, AnUnreadableLogLineFailsTheRun) {
    WriteWholeFile("tolvex.log", ReadWholeFile("tolvex.log") + "garbage\r\n");
    WriteWholeFile("session.verify", "FindEmail never\n");
    const ToolRun run = RunTool({"verify", "session.verify"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("tolvex.log:9: cannot read"), std::string::npos) << run.out;
}

TEST_F(VerifyCommand, MalformedOrMissingExpectationsAreStatusTwoAndCheckNothing) {
    WriteWholeFile("bad.verify", "FindEmail never\nGetCardInfo card=1\nFindEmail sometimes\n");
    const ToolRun run = RunTool({"verify", "bad.verify", "--junit", "report.xml"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.find("bad.verify:2: \"GetCardInfo\" is not an export"), 0u) << run.err;
    EXPECT_NE(run.err.find("\nbad.verify:3: \"sometimes\" is not FIELD=VALUE"), std::string::npos) << run.err;
    EXPECT_EQ(ReadWholeFile("report.xml"), "");
    EXPECT_EQ(RunTool({"verify", "no-such.verify"}).status, 2);
    EXPECT_EQ(RunTool({"verify"}).status, 2);
}

}  // namespace
