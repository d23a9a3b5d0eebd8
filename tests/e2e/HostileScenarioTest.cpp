// The library inside a host whose working directory is hostile: an in.xml that
// is a directory or nests past the parser's bound, a log file or a dump file
// that cannot be opened. Every export fails with its documented class and
// message or answers as usual; none of them crashes the host.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "support/ScenarioTestSupport.h"
#include "xml/XmlParser.h"

namespace {

using namespace TolvexTest;

// One answer for each export, all for card 1.
const char* const Answers =
    R"(<GetCardInfoEx CardCode="1" Holder="Holder One"><OutputInfo OutKind="3" OutLen="4">info</OutputInfo></GetCardInfoEx>)"
    R"(<TransactionsEx CardCode="1"><OutXML>posted</OutXML></TransactionsEx>)"
    R"(<GetCardImageEx CardCode="1" FileName="card1.png"/>)"
    R"(<FindEmail email="a@b" CardCode="1" Account="5" Name="Holder One"/>)";

// A call of one export, with unit 2 and the five input bytes where it takes input.
struct ExportCall {
    const char* name;
    std::function<CallOutcome(HostLibrary&, HostBuffers&)> call;
    const char* callLine;  // the logged line after the date-time
    // Checks the answer to the call against the scenario's answer for card 1.
    std::function<void(const CallOutcome&, const HostBuffers&)> expectAnswer;
    bool failureBecomesZero = false;  // FindEmail turns every failure into result 0
};

std::ostream& operator<<(std::ostream& out, const ExportCall& c) { return out << c.name; }

TTransactionRec TransactionForCard1() {
    TTransactionRec transaction = Prefilled<TTransactionRec>();
    transaction.CardCode = 1;
    transaction.Account = 5;
    transaction.Kind = 1;
    transaction.Summa = 100;
    transaction.Rest = 1;
    transaction.Date = 46364;
    transaction.Unit = 2;
    transaction.Check = 10;
    for (TVatEntry& vat : transaction.Vat) vat = TVatEntry{0, 0};
    return transaction;
}

void ExpectSucceeded(const CallOutcome& outcome, std::int32_t result) {
    EXPECT_FALSE(outcome.failed) << outcome.className << ": " << outcome.message;
    EXPECT_EQ(outcome.result, result);
}

const std::vector<ExportCall> exportCalls = {
    {"GetCardInfoEx",
     [](HostLibrary& library, HostBuffers& host) {
         return CallExport([&] {
             return library.getCardInfoEx(1, 0, 2, &host.cardInfo, host.input, sizeof host.input, 0, &host.outBuf,
                                          &host.outLen, &host.outKind);
         });
     },
     "GetCardInfoEx: card 1, rest 0, unit 2, InpLen=5, InpKind=0",
     [](const CallOutcome& outcome, const HostBuffers& host) {
         ExpectSucceeded(outcome, 0);
         EXPECT_EQ(FieldText(host.cardInfo.Holder), "Holder One");
         EXPECT_EQ(std::string(host.outBuf, static_cast<std::size_t>(host.outLen)), "info");
         EXPECT_EQ(host.outKind, 3);
     }},
    {"TransactionsEx",
     [](HostLibrary& library, HostBuffers& host) {
         TTransactionRec transaction = TransactionForCard1();
         TTransactionRec* batch[] = {&transaction};
         return CallExport([&] {
             return library.transactionsEx(1, batch, host.input, sizeof host.input, 0, &host.outBuf, &host.outLen,
                                           &host.outKind);
         });
     },
     "TransactionEx: 1 transactions, InpLen=5, InpKind=0",
     [](const CallOutcome& outcome, const HostBuffers& host) {
         ExpectSucceeded(outcome, 0);
         EXPECT_EQ(std::string(host.outBuf, static_cast<std::size_t>(host.outLen)), "posted");
     }},
    {"GetCardImageEx",
     [](HostLibrary& library, HostBuffers& host) {
         return CallExport([&] { return library.getCardImageEx(1, &host.cardImage); });
     },
     "GetCardImageEx: 1",
     [](const CallOutcome& outcome, const HostBuffers& host) {
         ExpectSucceeded(outcome, 0);
         EXPECT_EQ(FieldText(host.cardImage.FileName), "card1.png");
     }},
    {"FindEmail",
     [](HostLibrary& library, HostBuffers& host) {
         return CallExport([&] { return library.findEmail("a@b", &host.emailCard); });
     },
     "FindEmail: email=a@b",
     [](const CallOutcome& outcome, const HostBuffers& host) {
         ExpectSucceeded(outcome, 0);
         EXPECT_EQ(+host.emailCard.CardCode, 1);
         EXPECT_EQ(FieldText(host.emailCard.Name), "Holder One");
     },
     true},
};

class HostileScenarioTest : public LibraryTest, public ::testing::WithParamInterface<ExportCall> {
protected:
    CallOutcome Call() { return GetParam().call(Library(), host); }

    // The call failed with the class and message (or a message that starts so),
    // or returned 0 where the export turns failures into result 0; either way its
    // call line is in the log.
    enum class Match { Whole, Start };
    void ExpectFailure(const std::string& before, const char* className, const std::string& message,
                       Match match = Match::Whole) {
        const CallOutcome outcome = Call();
        if (GetParam().failureBecomesZero) {
            ExpectSucceeded(outcome, 0);
        } else {
            EXPECT_TRUE(outcome.failed) << "returned " << outcome.result;
            EXPECT_EQ(outcome.className, className);
            if (match == Match::Whole)
                EXPECT_EQ(outcome.message, message);
            else
                EXPECT_EQ(outcome.message.rfind(message, 0), 0u) << outcome.message;
        }
        const std::vector<std::string> lines = LogLinesAfter(before);
        ASSERT_FALSE(lines.empty());
        EXPECT_TRUE(IsCallLine(lines.front(), GetParam().callLine));
    }

    HostBuffers host;
};

TEST_P(HostileScenarioTest, ScenarioFileThatIsADirectory) {
    std::filesystem::remove(ScenarioName);
    std::filesystem::create_directory(ScenarioName);
    const std::string before = ReadWholeFile(LogName);
    const std::string path = (std::filesystem::current_path() / ScenarioName).string();
#if defined(_WIN32)
    // The system's reason is in the system's language; the class and the file are
    // what the host relies on.
    ExpectFailure(before, "EFOpenError", "Cannot open file \"" + path + "\". ", Match::Start);
#else
    ExpectFailure(before, "EFOpenError", "Cannot open file \"" + path + "\". Is a directory");
#endif
}

TEST_P(HostileScenarioTest, ScenarioNestedPastTheParsersBound) {
    std::string nested;
    for (int level = 0; level < 100000; ++level) nested += "<Root>";
    WriteWholeFile(ScenarioName, nested);
    const std::string before = ReadWholeFile(LogName);
    ExpectFailure(before, "TolvexXmlException", TolvexXml::MaxDepthMessage);
}

TEST_P(HostileScenarioTest, LogFileThatCannotBeOpenedLosesItsLinesSilently) {
    WriteScenario(Answers);
    std::filesystem::remove(LogName);
    std::filesystem::create_directory(LogName);
    GetParam().expectAnswer(Call(), host);
    EXPECT_TRUE(std::filesystem::is_directory(LogName));
    EXPECT_TRUE(std::filesystem::is_empty(LogName));

    // Once the name is free again, the next call's lines make a new log.
    std::filesystem::remove(LogName);
    GetParam().expectAnswer(Call(), host);
    const std::vector<std::string> lines = LogLinesAfter("");
    ASSERT_FALSE(lines.empty());
    EXPECT_TRUE(IsCallLine(lines.front(), GetParam().callLine));
}

TEST_P(HostileScenarioTest, DumpFileThatCannotBeOpenedLosesTheDumpSilently) {
    WriteScenario(Answers);
    std::filesystem::create_directory("In2.txt");
    const std::string before = ReadWholeFile(LogName);
    GetParam().expectAnswer(Call(), host);
    EXPECT_TRUE(std::filesystem::is_directory("In2.txt"));
    EXPECT_TRUE(std::filesystem::is_empty("In2.txt"));
    const std::vector<std::string> lines = LogLinesAfter(before);
    ASSERT_FALSE(lines.empty());
    EXPECT_TRUE(IsCallLine(lines.front(), GetParam().callLine));
}

INSTANTIATE_TEST_SUITE_P(Exports, HostileScenarioTest, ::testing::ValuesIn(exportCalls),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(HostileLoadTest, LibraryLoadsAndAnswersWhileTheLogCannotBeOpened) {
    const ScratchDirectory scratch;
    WriteScenario(Answers);
    std::filesystem::create_directory(LogName);
    HostLibrary library(LibraryPath());
    ASSERT_TRUE(library.Loaded()) << library.LoadError();
    for (const ExportCall& call : exportCalls) {
        SCOPED_TRACE(call.name);
        HostBuffers host;
        call.expectAnswer(call.call(library, host), host);
    }
    EXPECT_TRUE(std::filesystem::is_empty(LogName));
}

}  // namespace
