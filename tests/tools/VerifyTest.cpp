// tolvex-host verify against a log and dumps that the library wrote: passing and
// failing expectations of every kind, all failures of a run reported, each
// naming what the log holds nearest to it, and a log line that cannot be read
// failing the run.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/ScenarioTestSupport.h"
#include "tools/ExampleScenario.h"
#include "tools/Verify.h"

namespace {

using namespace TolvexTest;
using namespace TolvexHost;

std::optional<std::string> ReadDump(const std::string& name) {
    if (!std::filesystem::exists(name)) return std::nullopt;
    return ReadWholeFile(name);
}

// A session at a host: card 1001 read from the stripe at unit 2 (found, with an
// output, its input dumped), card 4242 typed in (not found), a batch of two
// transactions at units 2 and 3, and the image of card 1001. Its log:
//   1 load  2 GetCardInfoEx  3 Output  4 GetCardInfoEx  5 TransactionEx  6 dump In2.txt
//   7-8 transaction (unit 2)  9 dump In3.txt  10-11 transaction (unit 3)  12 GetCardImageEx
class VerifySession : public LibraryTest {
protected:
    void SetUp() override {
        LibraryTest::SetUp();
        WriteWholeFile(ScenarioName, ExampleScenarioText);
        HostBuffers buffers;
        const std::string stripe = "stripe;1001;", batch = "batch-7";
        CallExport([&] {
            return Library().getCardInfoEx(1001, 1, 2, &buffers.cardInfo, stripe.data(), 12, 1, &buffers.outBuf,
                                           &buffers.outLen, &buffers.outKind);
        });
        CallExport([&] {
            return Library().getCardInfoEx(4242, 1, 2, &buffers.cardInfo, nullptr, 0, 0, &buffers.outBuf,
                                           &buffers.outLen, &buffers.outKind);
        });
        TTransactionRec sale = Transaction(1001, 1, 12345, 2, 501), other = Transaction(1002, 1, 1500, 3, 502);
        TTransactionRec* transactions[] = {&sale, &other};
        CallExport([&] {
            return Library().transactionsEx(2, transactions, batch.data(), 7, 0, &buffers.outBuf, &buffers.outLen,
                                            &buffers.outKind);
        });
        CallExport([&] { return Library().getCardImageEx(1001, &buffers.cardImage); });
        log_ = ReadLogFile(LogName);
        ASSERT_TRUE(log_.errors.empty()) << log_.errors[0].Text();
    }

    // The failure messages of each case, the log's date-times masked as <DT>.
    std::vector<std::vector<std::string>> Failures(const std::string& expectations, const LogReading& log) const {
        const RunExpectations parse = ParseRunExpectations(expectations, "run.verify");
        EXPECT_TRUE(parse.errors.empty()) << parse.errors[0].Text();
        const TestSuite suite = VerifyLog("run.verify", parse.expectations, log, LogName, ReadDump);
        std::vector<std::vector<std::string>> failures;
        for (const TestCase& testCase : suite.cases) {
            failures.emplace_back();
            for (const TestFailure& failure : testCase.failures) failures.back().push_back(Masked(failure.message));
        }
        return failures;
    }

    std::string Masked(std::string text) const {
        for (const LogEntry& entry : log_.entries) {
            if (!entry.call) continue;
            const std::string& dateTime = entry.call->dateTime;
            for (std::size_t at = text.find(dateTime); at != std::string::npos; at = text.find(dateTime, at))
                text.replace(at, dateTime.size(), "<DT>");
        }
        return text;
    }

    LogReading log_;
};

struct Check {
    const char* expectation;
    const char* got;  // after "run.verify:N: expected EXPECTATION, got "; empty: it holds
};

const std::vector<Check> Checks = {
    {"GetCardInfoEx card=1001 inpkind=1 exactly 1", ""},
    {"GetCardInfoEx card=4242 inplen=0 at least 1", ""},
    {"GetCardInfoEx outkind=2 outlen=0", ""},
    {"FindEmail never", ""},
    {"TransactionsEx count=2 inplen=7 inpkind=0 exactly 1", ""},
    {"transaction card=1001 account=501 kind=1 summa=123.45 date=2026-12-08 unit=2 check=10 rest=1", ""},
    {"order: GetCardInfoEx card=1001, TransactionsEx, transaction unit=3, GetCardImageEx card=1001", ""},
    {"dump unit=2 contains \"stripe;1001;\"", ""},
    {"dump unit=3 equals hex \"62 61 74 63 68 2D 37\"", ""},
    {"GetCardInfoEx card=1001 inpkind=3",
     "0 matches; nearest tolvex.log:2 \"<DT> GetCardInfoEx: card 1001, rest 1, unit 2, InpLen=12, InpKind=1\" has "
     "inpkind=1"},
    {"GetCardInfoEx card=4242 inplen=0 outkind=2", "0 matches; nearest tolvex.log:4 \"<DT> GetCardInfoEx: card 4242, rest 1, "
                                          "unit 2, InpLen=0, InpKind=0\" has outkind none"},
    {"GetCardInfoEx at most 1", "2 matches: tolvex.log:2 tolvex.log:4"},
    {"FindEmail", "0 matches; no FindEmail in tolvex.log"},
    {"transaction unit=3 exactly 2", "1 match: tolvex.log:10"},
    {"order: GetCardImageEx, TransactionsEx",
     "no TransactionsEx after tolvex.log:12 \"<DT> GetCardImageEx: 1001\"; it is only before, at tolvex.log:5 "
     "\"<DT> TransactionEx: 2 transactions, InpLen=7, InpKind=0\""},
    {"order: GetCardInfoEx, GetCardImageEx card=1002",
     "no GetCardImageEx card=1002 after tolvex.log:2 \"<DT> GetCardInfoEx: card 1001, rest 1, unit 2, InpLen=12, "
     "InpKind=1\"; nearest tolvex.log:12 \"<DT> GetCardImageEx: 1001\" has card=1001"},
    {"dump unit=2 contains \"batch-8\"", "2 inputs: \"stripe;1001;\" (tolvex.log:2) \"batch-7\" (tolvex.log:5)"},
    {"dump unit=4 contains x", "no In4.txt"},
};

TEST_F(VerifySession, EveryExpectationIsACaseAndEveryMismatchIsReported) {
    std::string expectations;
    std::vector<std::vector<std::string>> expected;
    for (std::size_t index = 0; index < Checks.size(); ++index) {
        expectations.append(Checks[index].expectation).append("\n");
        expected.emplace_back();
        if (*Checks[index].got == '\0') continue;
        expected.back().push_back(std::string("run.verify:")
                                      .append(std::to_string(index + 1))
                                      .append(": expected ")
                                      .append(Checks[index].expectation)
                                      .append(", got ")
                                      .append(Checks[index].got));
    }
    EXPECT_EQ(Failures(expectations, log_), expected);
}

// The nearest transaction shows its amount as an expectation writes it, whatever
// separator the log's regional settings gave it.
TEST_F(VerifySession, NearestTransactionShowsTheLoggedAmount) {
    EXPECT_EQ(Failures("transaction card=1002 summa=15.01", log_),
              (std::vector<std::vector<std::string>>{
                  {std::string("run.verify:1: expected transaction card=1002 summa=15.01, got 0 matches; nearest "
                               "tolvex.log:10 \"card 1002 account 502 rest 1 unit 3 check 10 date 08.12.2026\" has "
                               "summa=15.00")}}));
}

TEST_F(VerifySession, AnUnreadableLogLineFailsTheRun) {
    const LogReading log = ParseLog(ReadWholeFile(LogName) + "not a log line\r\n", LogName);
    ASSERT_EQ(log.errors.size(), 1u);
    const std::vector<std::vector<std::string>> failures = Failures("FindEmail never\n", log);
    ASSERT_EQ(failures.size(), 2u);
    EXPECT_TRUE(failures[0].empty());
    EXPECT_EQ(failures[1], std::vector<std::string>{log.errors[0].Text()});
    EXPECT_EQ(log.errors[0].line, 13u);
}

}  // namespace
