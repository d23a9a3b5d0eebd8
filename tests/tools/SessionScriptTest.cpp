// Session scripts read in this process: the lines a script may hold, the errors
// for those it may not, and how expectations judge a call's report.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/ArgumentValues.h"
#include "tools/SessionScript.h"

namespace {

using namespace TolvexHost;

struct GoodScript {
    const char* name;
    const char* script;
    std::vector<std::string> described;  // every expectation of the last call, described
    bool marked;                         // the last call's record is prefilled with the marker
};

class GoodScripts : public ::testing::TestWithParam<GoodScript> {};

TEST_P(GoodScripts, ReadEveryExpectation) {
    const std::vector<ScriptStep> steps = ParseSessionScript(GetParam().script, "s.txt");
    ASSERT_FALSE(steps.empty());
    std::vector<std::string> described;
    for (const Expectation& expectation : steps.back().expectations) described.push_back(Describe(expectation));
    EXPECT_EQ(described, GetParam().described);
    EXPECT_EQ(steps.back().request.markRecord, GetParam().marked);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, GoodScripts,
    ::testing::Values(
        GoodScript{"Result", "card-info 1\n  expect result 1\n", {"result 1"}, false},
        GoodScript{"IntegerFieldInAnyForm", "card-info 1\nexpect Discount +05", {"Discount 5"}, false},
        GoodScript{"BooleanWordOrNumber", "card-info 1\nexpect Locked true\nexpect Deleted 0", {"Locked true", "Deleted false"}, false},
        GoodScript{"TextWithBlanksAndQuotes", "card-info 1\nexpect Holder \"Anna \\\"P\\\"\"", {"Holder \"Anna \\\"P\\\"\""}, false},
        GoodScript{"OutputKindAndText", "card-info 1\nexpect output kind 2 \"a b\"\nexpect output x\nexpect output kind -1",
                   {"output kind 2 \"a b\"", "output \"x\"", "output kind -1"}, false},
        GoodScript{"FailureClassMessageOrBeginning",
                   "card-info 1\nexpect failure EFOpenError\nexpect failure E \"m\"\nexpect failure E \"Cannot open...\"",
                   {"failure EFOpenError", "failure E \"m\"", "failure E \"Cannot open...\""}, false},
        GoodScript{"UntouchedMarksTheRecord", "find-email a@b\nexpect untouched Name CardCode",
                   {"Name untouched", "CardCode untouched"}, true},
        GoodScript{"ExpectationsBelongToTheLastCall", "card-info 1\nexpect result 0\ncard-image 2\r\nexpect FileName a\r\n",
                   {"FileName \"a\""}, false},
        GoodScript{"CommentsBlankLinesAndUse", "# c\n\nuse a.xml\ncard-info 1\n  # c\nexpect result 0", {"result 0"}, false}),
    [](const auto& info) { return std::string(info.param.name); });

struct BadScript {
    const char* name;
    const char* script;
    std::string error;  // the whole message
};

class BadScripts : public ::testing::TestWithParam<BadScript> {};

TEST_P(BadScripts, NameTheScriptTheLineAndWhatWasExpected) {
    try {
        ParseSessionScript(GetParam().script, "s.txt");
        FAIL() << "no error";
    } catch (const UsageError& error) {
        EXPECT_EQ(error.what(), GetParam().error);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, BadScripts,
    ::testing::Values(
        BadScript{"ExpectBeforeAnyCall", "# c\nexpect result 0", "s.txt:2: expect needs a call on a line before it"},
        BadScript{"ExpectAfterUse", "card-info 1\nuse a.xml\nexpect result 0", "s.txt:3: expect needs a call on a line before it"},
        BadScript{"ResultNotANumber", "card-info 1\nexpect result one", "s.txt:2: result: \"one\" is not an integer"},
        BadScript{"ResultWithTwoCodes", "card-info 1\nexpect result 1 2", "s.txt:2: expect result CODE"},
        BadScript{"FieldOfAnotherCall", "card-image 1\nexpect Holder x",
                  "s.txt:2: \"Holder\" is not a field of the GetCardImageEx record (FileName)"},
        BadScript{"FieldWithoutValue", "card-image 1\nexpect FileName", "s.txt:2: expect FileName \"TEXT\""},
        BadScript{"BooleanNotABoolean", "card-info 1\nexpect Locked yes",
                  "s.txt:2: Locked: \"yes\" is not true, false, 1 or 0"},
        BadScript{"BooleanOutOfRange", "card-info 1\nexpect Locked 2", "s.txt:2: Locked: \"2\" is not true, false, 1 or 0"},
        BadScript{"UnknownWord", "card-info 1\nexpect nothing at all",
                  "s.txt:2: \"nothing\" is not an expectation (result, output, failure, untouched or FIELD VALUE)"},
        BadScript{"NothingToExpect", "card-info 1\nexpect", "s.txt:2: expect what? (result, output, failure, untouched or a record field)"},
        BadScript{"OutputWithoutAnything", "card-info 1\nexpect output", "s.txt:2: expect output [kind N] [\"TEXT\"]"},
        BadScript{"OutputKindOutOfRange", "card-info 1\nexpect output kind 40000",
                  "s.txt:2: output kind: 40000 is out of range -32768..32767"},
        BadScript{"FailureWithoutClass", "card-info 1\nexpect failure", "s.txt:2: expect failure CLASS [\"MESSAGE\" or \"BEGINNING...\"]"},
        BadScript{"UntouchedInABatch", "transactions\nexpect untouched Result",
                  "s.txt:2: \"Result\" is not a field of the TransactionsEx record (it has no record)"},
        BadScript{"UseWithoutFile", "use", "s.txt:1: use FILE: one scenario file"},
        BadScript{"UnterminatedQuote", "card-info 1\nexpect Holder \"Anna", "s.txt:2: unterminated \" quote"},
        BadScript{"EveryBadLineButNotTheExpectationsOfABadCall",
                  "card-info x\nexpect result x\nfoo\ncard-info 1\nexpect result x",
                  "s.txt:1: card code: \"x\" is not an integer\n"
                  "s.txt:3: \"foo\" is not a call (card-info, transactions, card-image, find-email), expect or use\n"
                  "s.txt:5: result: \"x\" is not an integer"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SessionScript, ReadsNoInputFileUntilAskedTo) {
    std::vector<ScriptStep> steps = ParseSessionScript("card-info 1 --input-file no-such-file\n", "s.txt");
    EXPECT_EQ(steps[0].request.inputFile, "no-such-file");
    try {
        LoadScriptInputs(steps, "no-such-folder", "s.txt");
        FAIL() << "no error";
    } catch (const UsageError& error) {
        EXPECT_EQ(std::string(error.what()), "s.txt:1: card-info: cannot read input file no-such-file");
    }
}

CallReport Completed(std::int32_t result) {
    CallReport report;
    report.outcome.result = result;
    return report;
}

CallReport FailedWith(const std::string& className, const std::string& message) {
    CallReport report;
    report.outcome.failed = true;
    report.outcome.className = className;
    report.outcome.message = message;
    return report;
}

struct Judged {
    const char* name;
    const char* expectation;  // under "card-info 1"
    CallReport report;
    std::vector<std::string> failures;  // empty: met
};

class Judgements : public ::testing::TestWithParam<Judged> {};

TEST_P(Judgements, OneFailureLinePerUnmetExpectation) {
    const std::vector<ScriptStep> steps =
        ParseSessionScript(std::string("card-info 1\n").append(GetParam().expectation), "s.txt");
    std::vector<std::string> failures;
    for (const TestFailure& failure : CheckCall(steps[0], GetParam().report, "s.txt")) failures.push_back(failure.message);
    EXPECT_EQ(failures, GetParam().failures);
}

CallReport WithRecord(std::vector<ReportField> record, std::vector<std::string> untouched = {}) {
    CallReport report = Completed(0);
    report.record = std::move(record);
    report.untouched = std::move(untouched);
    return report;
}

CallReport WithOutput(std::int16_t kind, const std::string& text) {
    CallReport report = Completed(0);
    report.output = CallOutput{text, static_cast<std::int32_t>(text.size()), kind};
    return report;
}

INSTANTIATE_TEST_SUITE_P(
    Reports, Judgements,
    ::testing::Values(
        Judged{"NoExpectationsAndCompleted", "", Completed(1), {}},
        Judged{"NoExpectationsAndFailed", "", FailedWith("E", "m"), {"s.txt:1: expected the call to complete, got failure E \"m\""}},
        Judged{"ResultMet", "expect result 1", Completed(1), {}},
        Judged{"ResultUnmet", "expect result 0", Completed(1), {"s.txt:2: expected result 0, got result 1"}},
        Judged{"FieldMet", "expect Holder \"A\"", WithRecord({{"Holder", "A", ReportField::Text}}), {}},
        Judged{"FieldUnmet", "\nexpect Discount 5", WithRecord({{"Discount", "7", ReportField::Number}}),
               {"s.txt:3: expected Discount 5, got Discount 7"}},
        Judged{"FieldWithoutRecord", "expect Discount 5", Completed(1),
               {"s.txt:2: expected Discount 5, got no record written (result 1)"}},
        Judged{"OutputMet", "expect output kind 2 \"a\"", WithOutput(2, "a"), {}},
        Judged{"OutputKindUnmet", "expect output kind 1", WithOutput(2, "a"), {"s.txt:2: expected output kind 1, got output kind 2 \"a\""}},
        Judged{"OutputMissing", "expect output \"a\"", Completed(0), {"s.txt:2: expected output \"a\", got no output"}},
        Judged{"FailureExact", "expect failure E \"m\"", FailedWith("E", "m"), {}},
        Judged{"FailureBeginning", "expect failure E \"Cannot...\"", FailedWith("E", "Cannot open"), {}},
        Judged{"FailureOtherMessage", "expect failure E \"m\"", FailedWith("E", "mm"),
               {"s.txt:2: expected failure E \"m\", got failure E \"mm\""}},
        Judged{"FailureOtherClass", "expect failure E", FailedWith("F", "m"), {"s.txt:2: expected failure E, got failure F \"m\""}},
        Judged{"FailureButCompleted", "expect failure E", Completed(0), {"s.txt:2: expected failure E, got result 0"}},
        Judged{"UntouchedMet", "expect untouched WhyLock", WithRecord({}, {"WhyLock"}), {}},
        Judged{"UntouchedWritten", "expect untouched WhyLock", WithRecord({{"WhyLock", "x", ReportField::Text}}),
               {"s.txt:2: expected WhyLock untouched, got WhyLock \"x\""}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
