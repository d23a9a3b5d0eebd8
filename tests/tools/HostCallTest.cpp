// The call commands on the example scenario: what each prints, its JSON form,
// failures that leave the library, and bad usage that calls nothing.
#include <filesystem>

#include "platform/LocaleSettings.h"
#include "tools/ToolTestSupport.h"

namespace {

using namespace TolvexTest;
using ToolCalls = ToolTest;

struct CallCase {
    const char* name;
    std::vector<std::string> arguments;
    int status;
    std::vector<std::string> expected;  // lines or pieces the report must hold
};

class CallCommands : public ToolTest, public ::testing::WithParamInterface<CallCase> {};

TEST_P(CallCommands, PrintResultRecordAndOutput) {
    const ToolRun run = RunTool(GetParam().arguments);
    EXPECT_EQ(run.status, GetParam().status) << run.err;
    for (const std::string& piece : GetParam().expected) EXPECT_NE(run.out.find(piece), std::string::npos) << piece << "\n" << run.out;
}

INSTANTIATE_TEST_SUITE_P(
    ExampleScenario, CallCommands,
    ::testing::Values(
        CallCase{"CardFoundByKindWithOutput",
                 {"card-info", "1001", "--inp-kind", "1", "--unit", "2", "--rest", "1"},
                 0,
                 {"GetCardInfoEx(card 1001, rest 1, unit 2, InpLen=0, InpKind=1) -> 0\n",
                  "  Holder      \"Anna Petrova\"\n", "  Bonus       120\n", "  Summa       150000\n",
                  "  output      kind 2, 30 bytes: \"Card 1001 read from the stripe\"\n"}},
        CallCase{"CardGivenInHexadecimalIsDeleted", {"card-info", "1003"}, 0, {"  Deleted     true\n"}},
        CallCase{"CardNotFound", {"card-info", "4242"}, 0, {"GetCardInfoEx(card 4242, rest 0, unit 0, InpLen=0, InpKind=0) -> 1\n"}},
        CallCase{"LargeRefundRefused",
                 {"transactions", "--tx", "card=1001,account=501,kind=2,summa=600.00"},
                 0,
                 {"-> 1\n", "kind 1, 35 bytes: \"Refunds above 500.00 need a manager\""}},
        CallCase{"SmallRefundAccepted", {"transactions", "--tx", "kind=2,summa=500.00"}, 0, {"-> 0\n", "\"Accepted\""}},
        CallCase{"EmptyBatch", {"transactions"}, 0, {"TransactionsEx(0 transactions, InpLen=0, InpKind=0) -> 0\n", "kind 1, 0 bytes: \"\""}},
        CallCase{"ImageFound", {"card-image", "1002"}, 0, {"GetCardImageEx(card 1002) -> 0\n", "  FileName    \"cards\\silver.bmp\"\n"}},
        CallCase{"ImageOfCardZero", {"card-image", "0"}, 0, {"\"image0.xml\""}},
        CallCase{"ImageNotFound", {"card-image", "77"}, 0, {"-> 1\n"}},
        CallCase{"EmailIgnoresLetterCase", {"find-email", "IVAN@Example.com"}, 0, {"-> 0\n", "  CardCode    1002\n", "  Name        \"Ivan Sidorov\"\n"}},
        CallCase{"EmailNotFound", {"find-email", "nobody@example.com"}, 0, {"FindEmail(email=nobody@example.com) -> 1\n"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ToolCalls, FailureShowsClassAndMessageAndExitsNonZero) {
    std::filesystem::remove("in.xml");
    const ToolRun missing = RunTool({"card-info", "1"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.out.find("failed\n  EFOpenError: Cannot open file \""), std::string::npos) << missing.out;

    WriteScenario(R"(<GetCardInfoEx CardCode="12a"/>)");
    const ToolRun bad = RunTool({"card-info", "1"});
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.out.find("  TolvexXmlException: Bad integer attribute CardCode value: \"12a\"\n"), std::string::npos)
        << bad.out;
}

// The amounts as the log writes them: with the decimal separator of the regional
// settings, which the tool's process shares with this one.
std::string WithLocaleDecimalSeparator(std::string amounts) {
    const char separator = Platform::ReadLocaleSettings().decimalSeparator;
    for (char& c : amounts)
        if (c == '.') c = separator;
    return amounts;
}

TEST_F(ToolCalls, TransactionFieldsReachTheLibraryAsTyped) {
    const ToolRun run = RunTool({"-C", directory.Path().string(), "transactions", "--input-hex", "414243", "--tx",
                                 "card=1001,account=4294967295,kind=1,summa=123.45,rest=7,date=2026-12-08,unit=2,"
                                 "check=-10,vat1=20.00:20.58,vat3=0.5:-0.05",
                                 "--tx", "unit=2,date=46365", "--tx", "unit=3"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string log = ReadWholeFile("tolvex.log");
    const std::vector<std::string> pieces{
        "3 transactions, InpLen=3, InpKind=0", "card 1001 account -1 rest 7 unit 2 check -10 date 08.12.2026",
        WithLocaleDecimalSeparator("    kind 1 sum     123.45 Vat1(     20.00%)      20.58 Vat2(      0.00%)       0.00 "
                                   "Vat3(      0.50%)      -0.05"),
        "date 09.12.2026", "data writed to In2.txt", "data writed to In3.txt"};
    for (const std::string& piece : pieces)
        EXPECT_NE(log.find(piece), std::string::npos) << piece << "\n" << log;
    EXPECT_NE(ReadWholeFile("In2.txt").find("ABC"), std::string::npos);
    EXPECT_NE(ReadWholeFile("In3.txt").find("ABC"), std::string::npos);
}

TEST_F(ToolCalls, InputFromFileIsDumpedByteForByte) {
    WriteWholeFile("input.bin", std::string("a\0b\r\n", 5));
    ASSERT_EQ(RunTool({"card-info", "1001", "--unit", "4", "--input-file", "input.bin"}).status, 0);
    const std::string dump = ReadWholeFile("In4.txt");
    EXPECT_EQ(dump.substr(dump.size() - 5), std::string("a\0b\r\n", 5));
}

TEST_F(ToolCalls, JsonReportsParseBack) {
    const JsonValue found = ParseJson(RunTool({"--json", "card-info", "1001", "--inp-kind", "1"}).out);
    EXPECT_EQ(found["call"].text, "GetCardInfoEx");
    EXPECT_EQ(found["result"].text, "0");
    EXPECT_EQ(found["record"]["Holder"].text, "Anna Petrova");
    EXPECT_EQ(found["record"]["Locked"].kind, JsonValue::Boolean);
    EXPECT_EQ(found["record"].members.size(), 21u);
    EXPECT_EQ(found["output"]["kind"].text, "2");
    EXPECT_EQ(found["output"]["text"].text, "Card 1001 read from the stripe");

    WriteScenario("<GetCardImageEx CardCode=\"5\" FileName=\"a&quot;b\\c&#9;\xC0\"/>");
    const JsonValue image = ParseJson(RunTool({"--json", "card-image", "5"}).out);
    // A byte that is not UTF-8 (the host's code page) is the character of its own number, U+00C0 here.
    EXPECT_EQ(image["record"]["FileName"].text, "a\"b\\c\t\xC3\x80");

    std::filesystem::remove("in.xml");
    const ToolRun failed = RunTool({"--json", "transactions"});
    EXPECT_EQ(failed.status, 1);
    const JsonValue failure = ParseJson(failed.out);
    EXPECT_EQ(failure["failure"]["class"].text, "EFOpenError");
    EXPECT_EQ(failure["result"].kind, JsonValue::Null);
}

struct UsageCase {
    const char* name;
    std::vector<std::string> arguments;
    const char* message;
};

class BadUsage : public ToolTest, public ::testing::WithParamInterface<UsageCase> {};

TEST_P(BadUsage, ExitsWithTwoAndCallsNothing) {
    const ToolRun run = RunTool(GetParam().arguments);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find(GetParam().message), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists("tolvex.log"));
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, BadUsage,
    ::testing::Values(UsageCase{"NoCommand", {}, "no command given"},
                      UsageCase{"UnknownCommand", {"balance"}, "unknown command balance"},
                      UsageCase{"CardCodeNotANumber", {"card-info", "12x"}, "card code: \"12x\" is not an integer"},
                      UsageCase{"CardCodeMissing", {"card-image"}, "card-image: missing card code"},
                      UsageCase{"UnitBeyond32Bits", {"card-info", "1", "--unit", "4294967296"}, "--unit: 4294967296 is out of range"},
                      UsageCase{"UnknownOption", {"card-info", "1", "--color"}, "card-info: unknown option --color"},
                      UsageCase{"TwoInputs", {"card-info", "1", "--input", "a", "--input-hex", "00"}, "give the input once"},
                      UsageCase{"OddHex", {"card-info", "1", "--input-hex", "abc"}, "even number of hexadecimal digits"},
                      UsageCase{"UnknownField", {"transactions", "--tx", "amount=5"}, "unknown field \"amount\""},
                      UsageCase{"ThreeDecimals", {"transactions", "--tx", "summa=1.234"}, "at most two decimals"},
                      UsageCase{"NoSuchDay", {"transactions", "--tx", "date=2026-02-29"}, "is not a date YYYY-MM-DD"},
                      UsageCase{"KindBeyondByte", {"transactions", "--tx", "kind=256"}, "kind: 256 is out of range 0..255"},
                      UsageCase{"VatWithoutSum", {"transactions", "--tx", "vat2=20"}, "is not RATE:SUM"},
                      UsageCase{"TrailingArgument", {"find-email", "a@b", "c@d"}, "unexpected argument c@d"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ToolCalls, WorksInTheDirectoryGivenWithC) {
    std::filesystem::create_directory("shop");
    WriteWholeFile("shop/in.xml", "<Root><GetCardImageEx CardCode=\"9\" FileName=\"shop.bmp\"/></Root>");
    WriteWholeFile("shop/calls.txt", "card-image 9\n");
    const ToolRun run = RunTool({"-C", "shop", "run", "calls.txt"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("\"shop.bmp\""), std::string::npos) << run.out;
    EXPECT_NE(ReadWholeFile("shop/tolvex.log").find("GetCardImageEx: 9"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists("tolvex.log"));
}

TEST_F(ToolCalls, LibraryThatCannotBeLoadedFails) {
    const ToolRun run = RunTool({"--library", "no-such-library", "card-info", "1"});
    EXPECT_EQ(run.status, 1);
    // Named by its full path: a relative path is taken in the working directory.
    EXPECT_NE(run.err.find("cannot load " + std::filesystem::absolute("no-such-library").string() + ": "),
              std::string::npos)
        << run.err;
}

struct ArgumentCase {
    const char* name;
    std::string text;
};

class QuotedArguments : public ToolTest, public ::testing::WithParamInterface<ArgumentCase> {};

// What the process start must quote reaches the tool's arguments unchanged.
TEST_P(QuotedArguments, ReachTheToolUnchanged) {
    const ToolRun run = RunTool({"find-email", GetParam().text});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "FindEmail(email=" + GetParam().text + ") -> 1\n");
}

INSTANTIATE_TEST_SUITE_P(
    Texts, QuotedArguments,
    ::testing::Values(ArgumentCase{"Empty", ""}, ArgumentCase{"Blanks", " two  words "}, ArgumentCase{"Tab", "a\tb"},
                      ArgumentCase{"Quotes", R"(say "hi")"}, ArgumentCase{"BackslashesBeforeAQuote", R"(a\\"b)"},
                      ArgumentCase{"TrailingBackslashes", R"(C:\my dir\\)"},
                      ArgumentCase{"ShellCharacters", "it's $HOME `id`;|&<>"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
