// The expectation files of tolvex-host verify: every form of line read into what
// it checks, values normalised to the form the log is compared in, and each
// malformed line reported by file and line while the others are still read.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/VerifyExpectations.h"

namespace {

using namespace TolvexHost;

std::string Summary(const CallPattern& pattern) {
    std::string text = SubjectName(pattern.subject);
    for (const FieldCondition& condition : pattern.conditions) text.append(" ").append(condition.name).append(":").append(condition.key);
    return text;
}

// A compact form of what a line checks: "[=1] GetCardInfoEx card:1001", "order A | B",
// "dump 2 contains <bytes>".
std::string Summary(const RunExpectation& expectation) {
    if (const auto* count = std::get_if<CountExpectation>(&expectation.check)) {
        const char* comparison = count->comparison == CountExpectation::Comparison::Exactly  ? "="
                                 : count->comparison == CountExpectation::Comparison::AtLeast ? ">="
                                                                                               : "<=";
        return std::string("[").append(comparison).append(std::to_string(count->count)).append("] ").append(
            Summary(count->pattern));
    }
    if (const auto* order = std::get_if<OrderExpectation>(&expectation.check)) {
        std::string text = "order";
        for (const CallPattern& pattern : order->patterns) text.append(text == "order" ? " " : " | ").append(Summary(pattern));
        return text;
    }
    const auto& dump = std::get<DumpExpectation>(expectation.check);
    return std::string("dump ").append(std::to_string(dump.unit)).append(dump.whole ? " equals " : " contains ").append(
        dump.bytes);
}

struct GoodLine {
    const char* line;
    const char* summary;
};

class GoodLines : public ::testing::TestWithParam<GoodLine> {};

TEST_P(GoodLines, ReadAsTheyCheck) {
    const RunExpectations parse = ParseRunExpectations(GetParam().line, "run.verify");
    ASSERT_TRUE(parse.errors.empty()) << parse.errors[0].Text();
    ASSERT_EQ(parse.expectations.size(), 1u);
    EXPECT_EQ(Summary(parse.expectations[0]), GetParam().summary);
    EXPECT_EQ(parse.expectations[0].line, 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Verify, GoodLines,
    ::testing::Values(
        GoodLine{"GetCardInfoEx card=1001 inpkind=1   exactly 1", "[=1] GetCardInfoEx card:1001 inpkind:1"},
        GoodLine{"GetCardInfoEx card=4242 at least 2", "[>=2] GetCardInfoEx card:4242"},
        GoodLine{"  FindEmail never\r", "[=0] FindEmail"},
        GoodLine{"GetCardImageEx at most 3", "[<=3] GetCardImageEx"},
        GoodLine{"TransactionsEx count=2 inplen=7", "[>=1] TransactionsEx count:2 inplen:7"},
        GoodLine{"GetCardInfoEx outkind=2 outlen=0 unit=-3 card=+5", "[>=1] GetCardInfoEx outkind:2 outlen:0 unit:-3 card:5"},
        GoodLine{"FindEmail email=\"anna petrova@example.com\"", "[>=1] FindEmail email:anna petrova@example.com"},
        GoodLine{"transaction card=1001 account=501 kind=1 summa=123.45",
                 "[>=1] transaction card:1001 account:501 kind:1 summa:12345"},
        // Amounts in either decimal separator, compared in hundredths.
        GoodLine{"transaction summa=123,4 vat1=20:20.58 vat3=0,5:-0.05",
                 "[>=1] transaction summa:12340 vat1:2000:2058 vat3:50:-5"},
        // The host's unsigned account as the log's signed reading.
        GoodLine{"transaction account=4294967295", "[>=1] transaction account:-1"},
        // Dates as the tool takes them, as the log writes them, and as the host's day number.
        GoodLine{"transaction date=2026-12-08", "[>=1] transaction date:08.12.2026"},
        GoodLine{"transaction date=8.12.2026", "[>=1] transaction date:08.12.2026"},
        GoodLine{"transaction date=46364", "[>=1] transaction date:08.12.2026"},
        GoodLine{"transaction check=10 rest=1 unit=2 never", "[=0] transaction check:10 rest:1 unit:2"},
        GoodLine{"order: GetCardInfoEx card=1001, TransactionsEx,GetCardImageEx card=1001",
                 "order GetCardInfoEx card:1001 | TransactionsEx | GetCardImageEx card:1001"},
        GoodLine{"order: FindEmail email=\"a,b\", transaction kind=2", "order FindEmail email:a,b | transaction kind:2"},
        GoodLine{"dump unit=2 contains \"stripe;1001;\"", "dump 2 contains stripe;1001;"},
        GoodLine{"dump unit=-1 equals hex \"62 61 74 63 68\"", "dump -1 equals batch"},
        GoodLine{"dump unit=3 contains hex 4142", "dump 3 contains AB"}));

struct BadLine {
    const char* line;
    const char* error;  // after "bad.verify:2: "
};

class BadLines : public ::testing::TestWithParam<BadLine> {};

// Each bad line stands between good ones: it is reported on its own line, and
// the good lines are still read.
TEST_P(BadLines, ReportedByFileAndLine) {
    const std::string text = std::string("FindEmail never\n").append(GetParam().line).append("\nGetCardImageEx\n");
    const RunExpectations parse = ParseRunExpectations(text, "bad.verify");
    ASSERT_EQ(parse.errors.size(), 1u);
    EXPECT_EQ(parse.errors[0].Text(), std::string("bad.verify:2: ").append(GetParam().error));
    ASSERT_EQ(parse.expectations.size(), 2u);
    EXPECT_EQ(parse.expectations[1].line, 3u);
}

INSTANTIATE_TEST_SUITE_P(
    Verify, BadLines,
    ::testing::Values(
        BadLine{"GetCardInfo card=1",
                "\"GetCardInfo\" is not an export (GetCardInfoEx, TransactionsEx, GetCardImageEx, FindEmail), "
                "transaction, order: or dump"},
        BadLine{"GetCardInfoEx cardd=1",
                "unknown field cardd of GetCardInfoEx (fields: card, rest, unit, inplen, inpkind, outkind, outlen)"},
        BadLine{"GetCardImageEx summa=1", "unknown field summa of GetCardImageEx (fields: card)"},
        BadLine{"GetCardInfoEx card", "\"card\" is not FIELD=VALUE"},
        BadLine{"GetCardInfoEx card=x", "card: \"x\" is not an integer"},
        BadLine{"GetCardInfoEx exactly", "\"exactly\" is not FIELD=VALUE"},
        BadLine{"GetCardInfoEx exactly -1", "count: -1 is out of range 0..9223372036854775807"},
        BadLine{"GetCardInfoEx at least", "\"at\" is not FIELD=VALUE"},
        BadLine{"transaction summa=1.234", "summa: \"1.234\" is not an amount with at most two decimals"},
        BadLine{"transaction vat1=20", "vat1: \"20\" is not RATE:SUM"},
        BadLine{"transaction date=31.02.2026", "date: \"31.02.2026\" is not a date DD.MM.YYYY"},
        BadLine{"transaction date=1.-1.2026", "date: \"1.-1.2026\" is not a date DD.MM.YYYY"},
        BadLine{"transaction account=4294967296", "account: 4294967296 is out of range -2147483648..4294967295"},
        BadLine{"FindEmail email=\"open", "unterminated \" quote"},
        BadLine{"order: GetCardInfoEx", "order: needs at least two patterns, separated by commas"},
        BadLine{"order: GetCardInfoEx,, FindEmail", "order: an empty pattern between commas"},
        BadLine{"order: GetCardInfoEx never, FindEmail", "\"never\" is not FIELD=VALUE"},
        BadLine{"dump unit=2", "expected dump unit=N contains|equals \"TEXT\" (or hex \"HEX DIGITS\")"},
        BadLine{"dump unit=2 holds x", "expected dump unit=N contains|equals \"TEXT\" (or hex \"HEX DIGITS\")"},
        BadLine{"dump unit=two contains x", "unit: \"two\" is not an integer"},
        BadLine{"dump unit=2 contains \"\"", "dump: contains needs a non-empty input"},
        BadLine{"dump unit=2 contains hex 4G", "hex: \"4G\" is not hexadecimal digits"}));

TEST(VerifyExpectations, CommentsAndBlankLinesCheckNothingAndLinesCountFromOne) {
    const RunExpectations parse =
        ParseRunExpectations("# what the session did\r\n\r\n   \n  # indented\nFindEmail never\r\nbad", "x.verify");
    ASSERT_EQ(parse.expectations.size(), 1u);
    EXPECT_EQ(parse.expectations[0].line, 5u);
    EXPECT_EQ(parse.expectations[0].text, "FindEmail never");
    ASSERT_EQ(parse.errors.size(), 1u);
    EXPECT_EQ(parse.errors[0].line, 6u);
}

}  // namespace
