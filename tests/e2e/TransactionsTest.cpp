// TransactionsEx through the built library: per-transaction lines, dumps per run
// of one unit, the five tests, the result and the output text.
#include <gtest/gtest.h>

#include <filesystem>
#include <limits>

#include "support/ScenarioTestSupport.h"

namespace {

using namespace TolvexTest;

class TransactionsTest : public LibraryTest {
protected:
    CallOutcome Post(std::vector<TTransactionRec> batch, const std::string& input = "") {
        std::vector<TTransactionRec*> pointers;
        for (TTransactionRec& transaction : batch) pointers.push_back(&transaction);
        return CallExport([&] {
            return Library().transactionsEx(static_cast<int32_t>(pointers.size()), pointers.data(),
                                            input.empty() ? nullptr : input.data(),
                                            static_cast<uint32_t>(input.size()), 9, &outBuf, &outLen, &outKind);
        });
    }

    const char* outBuf = nullptr;
    int32_t outLen = -7;
    int16_t outKind = -7;
};

TEST_F(TransactionsTest, EachTransactionIsLoggedAndInputDumpedOncePerRunOfAUnit) {
    WriteScenario("");
    const std::string before = ReadWholeFile(LogName);
    const std::string input = "0123456789";
    const CallOutcome outcome = Post({Transaction(1, 1, 12345, 2), Transaction(2, 1, 5, 2), Transaction(3, 1, 5, 3)},
                                     input);
    ASSERT_FALSE(outcome.failed) << outcome.message;
    EXPECT_EQ(outcome.result, 0);
    const std::vector<std::string> lines = LogLinesAfter(before);
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_TRUE(IsCallLine(lines[0], "TransactionEx: 3 transactions, InpLen=10, InpKind=9"));
    EXPECT_EQ(lines[1], "  Input Buffer data writed to In2.txt");
    EXPECT_EQ(lines[2], "  card 1 account 77 rest 1 unit 2 check 10 date 08.12.2026");
    EXPECT_EQ(lines[3].substr(0, 25), LoggedAmounts("    kind 1 sum     123.45"));
    EXPECT_EQ(lines[4], "  card 2 account 77 rest 1 unit 2 check 10 date 08.12.2026");
    EXPECT_EQ(lines[6], "  Input Buffer data writed to In3.txt");
    EXPECT_EQ(lines[7], "  card 3 account 77 rest 1 unit 3 check 10 date 08.12.2026");
    for (const char* dump : {"In2.txt", "In3.txt"}) {
        std::vector<DumpRecord> records;
        ASSERT_TRUE(ReadDump(dump, {10}, records)) << dump;
        EXPECT_TRUE(IsCallLine(records[0].callLine, "TransactionEx: 3 transactions, InpLen=10, InpKind=9"));
        EXPECT_EQ(records[0].input, input);
    }
}

TEST_F(TransactionsTest, NoInputNoDumps) {
    WriteScenario("");
    const std::string before = ReadWholeFile(LogName);
    ASSERT_EQ(Post({Transaction(1, 1, 5, 2), Transaction(1, 1, 5, 3)}).result, 0);
    EXPECT_EQ(LogLinesAfter(before).size(), 5u);
    EXPECT_FALSE(std::filesystem::exists("In2.txt"));
    EXPECT_FALSE(std::filesystem::exists("In3.txt"));
}

struct MatchCase {
    const char* name;
    const char* answer;
    TTransactionRec transaction;
    int32_t expectedResult;
};

class TransactionMatch : public TransactionsTest, public ::testing::WithParamInterface<MatchCase> {};

TEST_P(TransactionMatch, ResultFollowsTheFirstMatchingAnswer) {
    WriteScenario(GetParam().answer);
    const CallOutcome outcome = Post({GetParam().transaction});
    ASSERT_FALSE(outcome.failed) << outcome.message;
    EXPECT_EQ(outcome.result, GetParam().expectedResult);
}

constexpr int64_t lowest = std::numeric_limits<int64_t>::min();

INSTANTIATE_TEST_SUITE_P(
    Tests, TransactionMatch,
    ::testing::Values(
        MatchCase{"KindAloneMatchesAnyCard", R"(<TransactionsEx Kind="2" Result="1"/>)", Transaction(99, 2, -5), 1},
        MatchCase{"OtherKindDoesNotMatch", R"(<TransactionsEx Kind="2" Result="1"/>)", Transaction(99, 3, -5), 0},
        MatchCase{"ExactBoundsMatchTheirAmount", R"(<TransactionsEx MinSumma="100" MaxSumma="100" Result="1"/>)",
                  Transaction(1, 1, 100), 1},
        MatchCase{"ExactBoundsMissAboveThem", R"(<TransactionsEx MinSumma="100" MaxSumma="100" Result="1"/>)",
                  Transaction(1, 1, 101), 0},
        MatchCase{"NegativeMinimum", R"(<TransactionsEx MinSumma="-50" Result="1"/>)", Transaction(1, 1, -20), 1},
        MatchCase{"LowestAmountMatchesWithoutBounds", R"(<TransactionsEx Result="1"/>)",
                  Transaction(1, 1, lowest), 1},
        MatchCase{"FirstMatchWinsOverCatchAll", R"(<TransactionsEx Result="1"/><TransactionsEx/>)",
                  Transaction(1, 1, 1), 1},
        MatchCase{"ResultCountsItsLow32BitsOnly", R"(<TransactionsEx Result="4294967296"/>)",
                  Transaction(1, 1, 1), 0},
        MatchCase{"AccountIsComparedUnsigned", R"(<TransactionsEx Account="-1" Result="1"/>)",
                  Transaction(1, 1, 1, 2, 4294967295u), 0},
        MatchCase{"AccountMatchesItsUnsignedValue", R"(<TransactionsEx Account="4294967295" Result="1"/>)",
                  Transaction(1, 1, 1, 2, 4294967295u), 1},
        MatchCase{"OtherElementNamesAreSkipped", R"(<TransactionEx Result="1"/><transactionsex Result="2"/>)",
                  Transaction(1, 1, 1), 1},
        MatchCase{"CardCodeMustMatch", R"(<TransactionsEx CardCode="5" Result="1"/>)", Transaction(6, 1, 1), 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TransactionsTest, OutputIsTheLastMatchedOutXmlText) {
    WriteScenario(R"(<TransactionsEx Kind="1"><OutXML>A</OutXML></TransactionsEx>
                     <TransactionsEx Kind="2"><OutXML>B</OutXML></TransactionsEx>
                     <TransactionsEx Kind="3"/>)");
    ASSERT_EQ(Post({Transaction(1, 1, 1), Transaction(1, 2, 1), Transaction(1, 3, 1)}).result, 0);
    ASSERT_NE(outBuf, nullptr);
    EXPECT_STREQ(outBuf, "B");
    EXPECT_EQ(outLen, 1);
    EXPECT_EQ(outKind, 1);
}

TEST_F(TransactionsTest, EmptyBatchHandsBackAnEmptyText) {
    WriteScenario(R"(<TransactionsEx Result="1"><OutXML>never</OutXML></TransactionsEx>)");
    const std::string before = ReadWholeFile(LogName);
    const CallOutcome outcome = Post({});
    EXPECT_EQ(outcome.result, 0);
    ASSERT_NE(outBuf, nullptr);
    EXPECT_STREQ(outBuf, "");
    EXPECT_EQ(outLen, 0);
    EXPECT_EQ(outKind, 1);
    EXPECT_EQ(LogLinesAfter(before).size(), 1u);
}

TEST_F(TransactionsTest, OutputTextIsEmptiedByTheNextCall) {
    WriteScenario(R"(<TransactionsEx Kind="1"><OutXML>text</OutXML></TransactionsEx>)");
    ASSERT_EQ(Post({Transaction(1, 1, 1)}).result, 0);
    EXPECT_STREQ(outBuf, "text");
    ASSERT_EQ(Post({Transaction(1, 2, 1)}).result, 0);
    EXPECT_STREQ(outBuf, "");
}

TEST_F(TransactionsTest, UnreadableTestAttributeFailsAfterTheLinesOfItsTransaction) {
    WriteScenario(R"(<TransactionsEx Kind="x"/>)");
    const std::string before = ReadWholeFile(LogName);
    const CallOutcome outcome = Post({Transaction(1, 1, 1)}, "in");
    ASSERT_TRUE(outcome.failed);
    EXPECT_EQ(outcome.className, "TolvexXmlException");
    EXPECT_EQ(outcome.message, "Bad integer attribute Kind value: \"x\"");
    EXPECT_EQ(LogLinesAfter(before).size(), 4u);
    EXPECT_EQ(outBuf, nullptr);
    EXPECT_TRUE(std::filesystem::exists("In2.txt"));
}

TEST_F(TransactionsTest, NullHostPointersFailBeforeTheScenarioIsRead) {
    WriteScenario("");
    TTransactionRec transaction = Transaction(1, 1, 1);
    TTransactionRec* withNull[] = {&transaction, nullptr};
    const struct {
        std::function<int32_t()> call;
        const char* message;
    } cases[] = {
        {[&] { return Library().transactionsEx(1, nullptr, nullptr, 0, 0, &outBuf, &outLen, &outKind); },
         "TransactionsEx: Transactions is a null pointer"},
        {[&] { return Library().transactionsEx(2, withNull, nullptr, 0, 0, &outBuf, &outLen, &outKind); },
         "TransactionsEx: Transactions[1] is a null pointer"},
        {[&] { return Library().transactionsEx(1, withNull, nullptr, 3, 0, &outBuf, &outLen, &outKind); },
         "TransactionsEx: InpBuf is a null pointer"},
        {[&] { return Library().transactionsEx(0, nullptr, nullptr, 0, 0, nullptr, &outLen, &outKind); },
         "TransactionsEx: OutBuf is a null pointer"},
        {[&] { return Library().transactionsEx(0, nullptr, nullptr, 0, 0, &outBuf, nullptr, &outKind); },
         "TransactionsEx: OutLen is a null pointer"},
        {[&] { return Library().transactionsEx(0, nullptr, nullptr, 0, 0, &outBuf, &outLen, nullptr); },
         "TransactionsEx: OutKind is a null pointer"},
    };
    for (const auto& c : cases) {
        const std::string before = ReadWholeFile(LogName);
        const CallOutcome outcome = CallExport(c.call);
        ASSERT_TRUE(outcome.failed) << c.message;
        EXPECT_EQ(outcome.className, "EArgumentError");
        EXPECT_EQ(outcome.message, c.message);
        EXPECT_EQ(LogLinesAfter(before).size(), 1u) << c.message;
    }
    EXPECT_EQ(outBuf, nullptr);
    EXPECT_FALSE(std::filesystem::exists("In2.txt"));
}

}  // namespace
