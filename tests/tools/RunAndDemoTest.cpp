// run: many calls from a script in one process; demo: the whole session.
#include <algorithm>
#include <filesystem>

#include "tools/ToolTestSupport.h"

namespace {

using namespace TolvexTest;
using RunScript = ToolTest;

size_t Count(const std::string& text, const std::string& piece) {
    size_t count = 0;
    for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++count;
    return count;
}

TEST_F(RunScript, RunsEveryCallInOrderInOneLoad) {
    WriteWholeFile("calls.txt",
                   "# a session\n"
                   "card-info 1001 --inp-kind 1\n"
                   "\n"
                   "   # indented comment\r\n"
                   "transactions --tx kind=1,summa=10 --input 'two words'\r\n"
                   "find-email \"anna.petrova@example.com\"\n"
                   "card-image 0");
    const ToolRun run = RunTool({"run", "calls.txt"});
    ASSERT_EQ(run.status, 0) << run.err;
    const size_t card = run.out.find("GetCardInfoEx(card 1001"), batch = run.out.find("TransactionsEx(1 transactions, InpLen=9"),
                 email = run.out.find("FindEmail(email=anna.petrova@example.com) -> 0"),
                 image = run.out.find("GetCardImageEx(card 0) -> 0");
    ASSERT_NE(image, std::string::npos) << run.out;
    EXPECT_TRUE(card < batch && batch < email && email < image) << run.out;
    // One load of the library: the log holds one empty line before the calls.
    const std::string log = ReadWholeFile("tolvex.log");
    EXPECT_EQ(log.rfind("\r\n", 0), 0u);
    EXPECT_EQ(Count(log, "\r\n\r\n"), 0u) << log;
}

TEST_F(RunScript, JsonGivesOneObjectPerCall) {
    WriteWholeFile("calls.txt", "card-info 1002\ncard-image 1001\n");
    const ToolRun run = RunTool({"--json", "run", "calls.txt"});
    ASSERT_EQ(run.status, 0);
    const size_t newline = run.out.find('\n');
    EXPECT_EQ(ParseJson(run.out.substr(0, newline))["record"]["WhyLock"].text, "Card reported lost");
    EXPECT_EQ(ParseJson(run.out.substr(newline + 1))["record"]["FileName"].text, "cards\\gold.bmp");
}

TEST_F(RunScript, AFailedCallMakesTheStatusNonZeroAndTheRestStillRun) {
    WriteScenario(R"(<GetCardImageEx CardCode="1" FileName="one"/><GetCardInfoEx CardCode="x"/>)");
    WriteWholeFile("calls.txt", "card-info 5\ncard-image 1\n");
    const ToolRun run = RunTool({"run", "calls.txt"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("TolvexXmlException"), std::string::npos);
    EXPECT_NE(run.out.find("\"one\""), std::string::npos) << run.out;
}

TEST_F(RunScript, BadLinesAreReportedByNumberAndNothingRuns) {
    WriteWholeFile("calls.txt", "card-info 1\n# fine\ncard-info one\ncompile a b\nfind-email \"open\n");
    const ToolRun run = RunTool({"run", "calls.txt"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("calls.txt:3: card code: \"one\" is not an integer"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("calls.txt:4: \"compile\" is not a call"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("calls.txt:5: unterminated \" quote"), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists("tolvex.log"));
}

TEST_F(RunScript, MissingScriptIsBadUsage) {
    const ToolRun run = RunTool({"run", "no-such-script"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("cannot read no-such-script"), std::string::npos);
}

TEST_F(RunScript, DemoShowsEveryExportTheLogAndTheDumps) {
    const ToolRun run = RunTool({"demo"});
    // The demo leaves its directory for the user to look at; the test does not.
    const std::string opening = "Working in ";
    ASSERT_EQ(run.out.rfind(opening, 0), 0u) << run.out;
    const std::filesystem::path demoDirectory =
        run.out.substr(opening.size(), run.out.find(" with the example") - opening.size());
    EXPECT_EQ(demoDirectory.filename().string().rfind("tolvex-demo-", 0), 0u);
    const std::string log = ReadWholeFile(demoDirectory / "tolvex.log");
    std::filesystem::remove_all(demoDirectory);
    ASSERT_EQ(run.status, 0) << run.err;
    for (const char* piece : {"GetCardInfoEx(card 1001", "-> 1\n", "TransactionsEx(3 transactions", "GetCardImageEx(card 1001) -> 0",
                              "FindEmail(email=ANNA.PETROVA@example.com) -> 0", "Input Buffer data writed to In3.txt",
                              "--- In2.txt ---", "--- In3.txt ---"})
        EXPECT_NE(run.out.find(piece), std::string::npos) << piece;
    // The log as the file holds it, its CR LF line ends unchanged.
    ASSERT_NE(log.find("\r\n"), std::string::npos);
    EXPECT_NE(run.out.find("\n--- tolvex.log ---\n" + log), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("failed"), std::string::npos) << run.out;
    // The demo works in a directory of its own.
    EXPECT_FALSE(std::filesystem::exists("tolvex.log"));
}

}  // namespace
