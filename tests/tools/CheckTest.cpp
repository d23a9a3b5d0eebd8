// check: each kind of finding, its severity and the exit status.
#include "tools/ToolTestSupport.h"

namespace {

using namespace TolvexTest;

struct FindingCase {
    const char* name;
    const char* answers;
    int status;
    const char* finding;  // a line of the report
};

class CheckFindings : public ToolTest, public ::testing::WithParamInterface<FindingCase> {};

TEST_P(CheckFindings, ReportsTheFinding) {
    WriteScenario(GetParam().answers);
    const ToolRun run = RunTool({"check"});
    EXPECT_EQ(run.status, GetParam().status);
    EXPECT_NE(run.out.find(GetParam().finding), std::string::npos) << run.out;
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, CheckFindings,
    ::testing::Values(
        FindingCase{"BadInteger", R"(<GetCardInfoEx CardCode="7" Bonus="1O"/>)", 1,
                    "in.xml:3:1: error: element 1 <GetCardInfoEx>: Bonus=\"1O\" fails the call: TolvexXmlException: Bad "
                    "integer attribute Bonus value: \"1O\"\n"},
        FindingCase{"BadBoolean", R"(<GetCardInfoL CardCode="7" Seize="yes"/>)", 1,
                    "error: element 1 <GetCardInfoL>: Seize=\"yes\" fails the call: EVariantTypeCastError: Could not "
                    "convert variant of type (String) into type (Boolean)\n"},
        FindingCase{"BadOutputKind", R"(<GetCardInfoEx CardCode="7"><OutputInfo OutKind="two"/></GetCardInfoEx>)", 1,
                    "error: element 1 <GetCardInfoEx> <OutputInfo>: OutKind=\"two\" fails the call"},
        FindingCase{"BadEmailCardCode", R"(<FindEmail email="a@b" CardCode="12 "/>)", 1,
                    "error: element 1 <FindEmail>: CardCode=\"12 \" ends FindEmail with result 0: "},
        FindingCase{"UnknownElement", R"(<GetCardImage CardCode="7"/>)", 0,
                    "warning: element 1 <GetCardImage>: unknown element, no call reads it (closest: GetCardImageL)\n"},
        FindingCase{"UnknownAttribute", R"(<TransactionsEx MaxSuma="5"/>)", 0,
                    "warning: element 1 <TransactionsEx>: unknown attribute MaxSuma (closest: MaxSumma)\n"},
        FindingCase{"AttributeOfOutXml", R"(<TransactionsEx><OutXML Result="1">x</OutXML></TransactionsEx>)", 0,
                    "warning: element 1 <TransactionsEx> <OutXML>: unknown attribute Result (none of its attributes is "
                    "read)\n"},
        FindingCase{"FirstLetterShadowedByExactName",
                    R"(<GetCardImageEx CardCode="1"/><GetCardImageEx cardCode="2"/>)", 0,
                    "warning: element 2 <GetCardImageEx>: attribute cardCode is not read: CardCode occurs elsewhere"},
        FindingCase{"SameCardAndKind", R"(<GetCardInfoEx CardCode="7"/><GetCardInfoL CardCode="7" InpKind="0"/>)", 0,
                    "warning: element 2 <GetCardInfoL>: unreachable: element 1 answers every call this one could\n"},
        FindingCase{"KindThatNeverMatchesAfterSameCard",
                    R"(<GetCardInfoEx CardCode="7"/><GetCardInfoEx CardCode="7" InpKind="70000"/>)", 0,
                    "warning: element 2 <GetCardInfoEx>: unreachable: element 1"},
        FindingCase{"ImageForCardZero", R"(<GetCardImageEx FileName="a.bmp"/>)", 0,
                    "warning: element 1 <GetCardImageEx>: unreachable: card 0 is answered without reading the file\n"},
        FindingCase{"ImageShadowed", R"(<GetCardImageL CardCode="$10"/><GetCardImageEx CardCode="16"/>)", 0,
                    "warning: element 2 <GetCardImageEx>: unreachable: element 1"},
        FindingCase{"EmailShadowedIgnoringCase", R"(<FindEmail email="a@b" CardCode="1"/><FindEmail email="A@B" CardCode="2"/>)", 0,
                    "warning: element 2 <FindEmail>: unreachable: element 1"},
        FindingCase{"MinAboveMax", R"(<TransactionsEx MinSumma="10" MaxSumma="9"/>)", 0,
                    "warning: element 1 <TransactionsEx>: unreachable: MinSumma is above MaxSumma\n"},
        FindingCase{"TransactionCoveredByWiderRange",
                    R"(<TransactionsEx Kind="2" MinSumma="100"/><TransactionsEx Kind="2" CardCode="5" MinSumma="200" MaxSumma="300"/>)", 0,
                    "warning: element 2 <TransactionsEx>: unreachable: element 1"},
        FindingCase{"HolderCut", R"(<GetCardInfoEx CardCode="7" Holder="12345678901234567890123456789012345678901"/>)", 0,
                    "warning: element 1 <GetCardInfoEx>: Holder has 41 characters; the record keeps the first 40\n"},
        FindingCase{"DiscountBeyond16Bits", R"(<GetCardInfoEx CardCode="7" Discount="65536"/>)", 0,
                    "warning: element 1 <GetCardInfoEx>: Discount 65536 is beyond 16 bits; only its low 16 bits are used\n"},
        FindingCase{"ResultBeyond32Bits", R"(<TransactionsEx Result="4294967296"/>)", 0,
                    "warning: element 1 <TransactionsEx>: Result 4294967296 is beyond 32 bits"},
        FindingCase{"AccountThatNeverMatches", R"(<TransactionsEx Account="-1"/>)", 0,
                    "warning: element 1 <TransactionsEx>: Account -1 never matches: the host's value is 0..4294967295\n"}),
    [](const auto& info) { return std::string(info.param.name); });

using Check = ToolTest;

TEST_F(Check, TheExampleIsClean) {
    const ToolRun run = RunTool({"check"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "in.xml: 0 error(s), 0 warning(s)\n");
}

TEST_F(Check, ReachableVariantsAreNotReported) {
    WriteScenario(R"(<GetCardInfoEx CardCode="7" InpKind="1"/><GetCardInfoEx CardCode="7"/>
                     <TransactionsEx Kind="2" MinSumma="100"/><TransactionsEx Kind="2"/><TransactionsEx/>
                     <FindEmail email="a@b" CardCode="1"/><FindEmail email="a@c" CardCode="2"/>)");
    const ToolRun run = RunTool({"check"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "in.xml: 0 error(s), 0 warning(s)\n");
}

TEST_F(Check, FirstLetterIsToleratedWhileTheExactNameIsAbsent) {
    WriteScenario(R"(<GetCardImageEx cardCode="3" fileName="a"/><GetCardImageEx cardCode="3"/>)");
    const ToolRun run = RunTool({"check"});
    EXPECT_EQ(run.out, "in.xml:3:44: warning: element 2 <GetCardImageEx>: unreachable: element 1 answers every call "
                       "this one could\nin.xml: 0 error(s), 1 warning(s)\n");
}

TEST_F(Check, FileThatFailsEveryCall) {
    WriteWholeFile("in.xml", "<Answers/>");
    const ToolRun noRoot = RunTool({"check"});
    EXPECT_EQ(noRoot.status, 1);
    EXPECT_EQ(noRoot.out, "in.xml: error: every call fails: NeedChildException: Error: child element \"Root\" not "
                          "found.\nin.xml: 1 error(s), 0 warning(s)\n");

    const ToolRun missing = RunTool({"check", "missing.xml"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out.rfind("missing.xml: error: every call fails: EFOpenError: Cannot open file ", 0), 0u)
        << missing.out;
}

struct ParseErrorCase {
    const char* name;
    std::string text;
    int line, column;
    const char* message;
};

class CheckParseErrors : public ToolTest, public ::testing::WithParamInterface<ParseErrorCase> {};

// The column counts bytes: "Пётр" takes 8 of them.
INSTANTIATE_TEST_SUITE_P(
    Places, CheckParseErrors,
    ::testing::Values(
        ParseErrorCase{"FirstLine", "<Root><a></b></Root>", 1, 12, "\"a\" expected"},
        ParseErrorCase{"LaterLine", "<?xml version=\"1.0\"?>\n<Root>\n<GetCardInfoEx CardCode=7/>\n</Root>\n", 3, 25,
                       "String constant expected"},
        ParseErrorCase{"CrLfLines", "<?xml version=\"1.0\"?>\r\n<Root>\r\n\r\n  <FindEmail email=\"a@b\" <\r\n</Root>\r\n",
                       4, 26, "Character > expected"},
        ParseErrorCase{"AfterUtf8Text",
                       "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Root>\n<GetCardInfoEx Holder=\"Пётр\" CardCode=7/>", 3,
                       43, "String constant expected"},
        ParseErrorCase{"UnclosedAtTheEnd", "<Root>\n  <GetCardInfoEx CardCode=\"7\">\n", 3, 1, "Character / expected"},
        ParseErrorCase{"EndInsideAStartTag", "<Root>\n  <GetCardInfoEx CardCode=\"7\"", 2, 30, "Character > expected"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_P(CheckParseErrors, ReportTheLineAndByteColumn) {
    const ParseErrorCase& error = GetParam();
    WriteWholeFile("broken.xml", error.text);
    const ToolRun run = RunTool({"check", "broken.xml"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "broken.xml:" + std::to_string(error.line) + ":" + std::to_string(error.column) +
                           ": error: every call fails: TolvexXmlException: " + error.message +
                           "\nbroken.xml: 1 error(s), 0 warning(s)\n");

    const JsonValue finding = ParseJson(RunTool({"--json", "check", "broken.xml"}).out)["findings"].items.at(0);
    EXPECT_EQ(finding["line"].kind, JsonValue::Number);
    EXPECT_EQ(finding["line"].text, std::to_string(error.line));
    EXPECT_EQ(finding["column"].text, std::to_string(error.column));
    EXPECT_EQ(finding["message"].text, std::string("every call fails: TolvexXmlException: ") + error.message);
}

TEST_F(Check, JsonListsTheFindings) {
    WriteScenario(R"(<GetCardInfoEx CardCode="7" Deleted="maybe"/><Extra/>)");
    const JsonValue report = ParseJson(RunTool({"--json", "check"}).out);
    ASSERT_EQ(report["findings"].items.size(), 2u);
    EXPECT_EQ(report["findings"].items[0]["severity"].text, "error");
    EXPECT_EQ(report["findings"].items[1]["severity"].text, "warning");
    EXPECT_EQ(report["findings"].items[1]["where"].text, "element 2 <Extra>");
    // Each element is placed where its start tag begins.
    EXPECT_EQ(report["findings"].items[0]["line"].text, "3");
    EXPECT_EQ(report["findings"].items[0]["column"].text, "1");
    EXPECT_EQ(report["findings"].items[1]["line"].text, "3");
    EXPECT_EQ(report["findings"].items[1]["column"].text, "46");
}

}  // namespace
