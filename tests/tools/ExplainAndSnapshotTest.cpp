// explain and snapshot as a tester runs them: what they print, their exit status,
// and that explain leaves the library alone.
#include <filesystem>

#include "tools/ToolTestSupport.h"

namespace {

using namespace TolvexTest;

struct ExplainCase {
    const char* name;
    const char* answers;  // empty: no in.xml at all
    std::vector<std::string> call;
    int status;
    std::vector<const char*> lines;  // lines of the report, in this order
};

class Explain : public ToolTest, public ::testing::WithParamInterface<ExplainCase> {};

TEST_P(Explain, NamesEachAnswerPassedOverAndTheOutcome) {
    const ExplainCase& c = GetParam();
    if (*c.answers)
        WriteScenario(c.answers);
    else
        std::filesystem::remove("in.xml");
    std::vector<std::string> arguments{"explain"};
    arguments.insert(arguments.end(), c.call.begin(), c.call.end());
    const ToolRun run = RunTool(arguments);
    EXPECT_EQ(run.status, c.status) << run.out << run.err;
    std::size_t from = 0;
    for (const char* line : c.lines) {
        const std::size_t at = run.out.find(std::string(line) + "\n", from);
        ASSERT_NE(at, std::string::npos) << "missing, or out of order: " << line << "\n" << run.out;
        from = at;
    }
    // Nothing was called: loading the library would have begun the log.
    EXPECT_FALSE(std::filesystem::exists("tolvex.log"));
}

INSTANTIATE_TEST_SUITE_P(
    Calls, Explain,
    ::testing::Values(
        ExplainCase{"SecondPass",
                    R"(<GetCardInfoEx CardCode="8"/><GetCardInfoEx CardCode="7" InpKind="2" Holder="B"/>
<GetCardInfoL CardCode="7" InpKind="3"/>)",
                    {"card-info", "7", "--inp-kind", "1"}, 0,
                    {"in.xml:3:1: element 1 <GetCardInfoEx>: passed over: CardCode 8, call has 7",
                     "in.xml:3:30: element 2 <GetCardInfoEx>: passed over: InpKind 2, call has 1 (first pass)",
                     "in.xml:4:1: element 3 <GetCardInfoL>: passed over: InpKind 3, call has 1 (first pass)",
                     "in.xml:3:30: element 2 <GetCardInfoEx>: the answer (second pass: card code alone)",
                     "GetCardInfoEx(card 7, rest 0, unit 0, InpLen=0, InpKind=1) -> 0", "  Holder      \"B\""}},
        ExplainCase{"MisspeltElementName", R"(<GetCardInfoExx CardCode="7"/><FindEmail email="a@b"/>)",
                    {"card-info", "7"}, 0,
                    {"in.xml:3:1: element 1 <GetCardInfoExx>: passed over: no call reads an element of this name",
                     "in.xml: no answer matches", "GetCardInfoEx(card 7, rest 0, unit 0, InpLen=0, InpKind=0) -> 1"}},
        ExplainCase{"FailingValue", R"(<GetCardInfoEx CardCode="7" Account="5" Discount="5x" Bonus="3"/>)",
                    {"card-info", "7"}, 1,
                    {"in.xml:3:1: element 1 <GetCardInfoEx>: the answer (first pass)",
                     "in.xml:3:1: element 1 <GetCardInfoEx>: attribute Discount fails the call",
                     "  TolvexXmlException: Bad integer attribute Discount value: \"5x\"",
                     "  the record as the call leaves it:", "  Account     5"}},
        ExplainCase{"FailingOutputKind",
                    R"(<GetCardInfoEx CardCode="7"><OutputInfo OutKind="two">x</OutputInfo></GetCardInfoEx>)",
                    {"card-info", "7"}, 1,
                    {"in.xml:3:1: element 1 <GetCardInfoEx> <OutputInfo>: attribute OutKind fails the call"}},
        ExplainCase{"FindEmailReturnsZeroOnAFailure", R"(<FindEmail email="A@B" Account="4"/>)",
                    {"find-email", "a@b"}, 0,
                    {"in.xml:3:1: element 1 <FindEmail>: the answer",
                     "in.xml:3:1: element 1 <FindEmail>: attribute CardCode fails the call; FindEmail returns 0 "
                     "instead",
                     "FindEmail(email=a@b) -> 0", "  Account     4"}},
        ExplainCase{"TransactionsOneByOne",
                    R"(<TransactionsEx MinSumma="10000" Result="1"/><TransactionsEx Kind="2"/>
<TransactionsEx><OutXML>ok</OutXML></TransactionsEx>)",
                    {"transactions", "--tx", "card=1,kind=1,summa=50.00", "--tx", "card=1,kind=2,summa=200.00"}, 0,
                    {"transaction 1 (card 1, account 0, kind 1, summa 5000):",
                     "  in.xml:3:1: element 1 <TransactionsEx>: passed over: MinSumma 10000, above the amount 5000",
                     "  in.xml:3:46: element 2 <TransactionsEx>: passed over: Kind 2, transaction has 1",
                     "  in.xml:4:1: element 3 <TransactionsEx>: the answer: Result 0, OutXML 2 bytes",
                     "transaction 2 (card 1, account 0, kind 2, summa 20000):",
                     "  in.xml:3:1: element 1 <TransactionsEx>: the answer: Result 1",
                     "TransactionsEx(2 transactions, InpLen=0, InpKind=0) -> 1"}},
        ExplainCase{"BuiltInCardImage", R"(<GetCardImageEx FileName="never.bmp"/>)", {"card-image", "0"}, 0,
                    {"card 0 is answered without reading in.xml", "  FileName    \"image0.xml\""}},
        ExplainCase{"NoScenario", "", {"card-image", "5"}, 1,
                    {"in.xml: the file fails the call", "GetCardImageEx(card 5) failed"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ToolTest, ExplainAsJson) {
    WriteScenario(R"(<GetCardInfoEx CardCode="7" InpKind="2"/><GetCardInfoEx CardCode="7" Deleted="maybe"/>)");
    const JsonValue second = ParseJson(RunTool({"--json", "explain", "card-info", "7"}).out);
    ASSERT_EQ(second["passedOver"].items.size(), 1u);
    EXPECT_EQ(second["passedOver"].items[0]["position"].text, "1");
    EXPECT_EQ(second["passedOver"].items[0]["reason"].text, "InpKind 2, call has 0 (first pass)");
    EXPECT_EQ(second["answer"]["position"].text, "2");
    EXPECT_EQ(second["answer"]["line"].text, "3");
    EXPECT_EQ(second["answer"]["column"].text, "42");
    EXPECT_EQ(second["answer"]["pass"].text, "1");
    EXPECT_EQ(second["failure"]["class"].text, "EVariantTypeCastError");
    EXPECT_EQ(second["failure"]["attribute"].text, "Deleted");
    EXPECT_EQ(second["failure"]["element"]["position"].text, "2");
    EXPECT_EQ(second["result"].kind, JsonValue::Null);
}

// A session's log drafted into a scenario: the draft passes check and answers
// every call of the session, the card that was not found included.
TEST_F(ToolTest, SnapshotDraftsAScenarioThatAnswersEveryLoggedCall) {
    WriteWholeFile("session.txt",
                   "card-info 1001 --inp-kind 1 --input stripe\n"
                   "card-info 4242\n"
                   "transactions --tx card=1001,account=501,kind=1,summa=10.50 --tx card=9,kind=3,summa=-1.00\n"
                   "card-image 77\n"
                   "find-email someone@example.com\n");
    ASSERT_EQ(RunTool({"run", "session.txt"}).status, 0);

    const ToolRun snapshot = RunTool({"snapshot", "--output", "draft.xml"});
    ASSERT_EQ(snapshot.status, 0) << snapshot.err;
    const ToolRun check = RunTool({"check", "draft.xml"});
    EXPECT_EQ(check.status, 0) << check.out;
    EXPECT_NE(check.out.find("draft.xml: 0 error(s)"), std::string::npos) << check.out;

    std::filesystem::rename("draft.xml", "in.xml");
    const std::string replay = RunTool({"--json", "run", "session.txt"}).out;
    std::size_t calls = 0;
    for (std::size_t start = 0, end; (end = replay.find('\n', start)) != std::string::npos; start = end + 1, ++calls) {
        const JsonValue call = ParseJson(replay.substr(start, end - start));
        EXPECT_EQ(call["result"].text, "0") << call["call"].text;
    }
    EXPECT_EQ(calls, 5u);
}

TEST_F(ToolTest, SnapshotNamesTheLinesItCannotRead) {
    WriteWholeFile("host.log", "\r\n10.12.2026 14:05:09 GetCardInfoEx: card x, rest 0\r\n");
    const ToolRun run = RunTool({"snapshot", "host.log"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err.rfind("host.log:2: cannot read ", 0), 0u) << run.err;
    EXPECT_NE(run.out.find("<Root"), std::string::npos) << run.out;
}

}  // namespace
