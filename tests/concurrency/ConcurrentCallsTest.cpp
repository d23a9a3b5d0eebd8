// The exports called from many threads at once, as far as the library allows it
// (GetCardImageEx and FindEmail from several threads each, GetCardInfoEx and
// TransactionsEx from one thread each, so that no output string or dump file is
// shared), while other threads build, render, save and reload documents. Every
// answer must be right, and the log must hold every expected line whole.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <thread>
#include <vector>

#include "concurrency/DocumentRoundTrips.h"
#include "support/ScenarioTestSupport.h"
#include "xml/TolvexXmlUnit.h"

namespace {

using namespace TolvexTest;

constexpr int CallsPerThread = 400;
constexpr int DocumentRounds = 60;
constexpr int CardInfoUnit = 7;
constexpr std::uint8_t TransactionsUnit = 8;

// Cards 1 to 4 are answered by every export; card 3's transactions ask for failure.
std::string Scenario() {
    std::string answers;
    for (int card = 1; card <= 4; ++card) {
        const std::string n = std::to_string(card);
        const std::string info = "info " + n;
        answers += "<GetCardInfoEx CardCode=\"" + n + "\" Holder=\"Holder " + n + "\"><OutputInfo OutKind=\"" + n +
                   "\" OutLen=\"" + std::to_string(info.size()) + "\">" + info + "</OutputInfo></GetCardInfoEx>\r\n";
        answers += "<TransactionsEx CardCode=\"" + n + "\" Result=\"" + (card == 3 ? "1" : "0") +
                   "\"><OutXML>posted " + n + "</OutXML></TransactionsEx>\r\n";
        answers += "<GetCardImageEx CardCode=\"" + n + "\" FileName=\"card" + n + ".png\"/>\r\n";
        answers += "<FindEmail email=\"holder" + n + "@example.com\" CardCode=\"" + n + "\" Account=\"" + n +
                   "\" Name=\"Holder " + n + "\"/>\r\n";
    }
    return answers;
}

// The transaction the concurrency test posts for a card.
TTransactionRec Transaction(std::int64_t cardCode) { return TolvexTest::Transaction(cardCode, 1, 250, TransactionsUnit, 5); }

std::string TransactionLine(std::int64_t cardCode) {
    return "  card " + std::to_string(cardCode) + " account 5 rest 1 unit 8 check 10 date 08.12.2026";
}

// What one thread saw go wrong, and the log lines its calls must have written:
// call lines by their text after the date-time, other lines as they are.
struct ThreadRecord {
    std::vector<std::string> problems;
    std::map<std::string, int> expectedLines;
    int dumpRecords = 0;

    void Expect(bool condition, const std::string& what) {
        if (!condition) problems.push_back(what);
    }
};

class ConcurrentCallsTest : public LibraryTest {
protected:
    void SetUp() override {
        LibraryTest::SetUp();
        TolvexXml::InitializeUnit();
    }
    void TearDown() override {
        TolvexXml::FinalizeUnit();
        LibraryTest::TearDown();
    }

    void AskImages(int thread, ThreadRecord& record) {
        for (int call = 0; call < CallsPerThread; ++call) {
            const int card = (call + thread) % 6;  // 0 is built in, 5 has no answer
            TCardImageRec image = Prefilled<TCardImageRec>();
            const CallOutcome outcome = CallExport([&] { return Library().getCardImageEx(card, &image); });
            const std::string expected = card == 0 ? "image0.xml" : "card" + std::to_string(card) + ".png";
            record.Expect(!outcome.failed && outcome.result == (card == 5 ? 1 : 0) &&
                              (card == 5 || FieldText(image.FileName) == expected),
                          "GetCardImageEx " + std::to_string(card) + ": " + outcome.message);
            ++record.expectedLines["GetCardImageEx: " + std::to_string(card)];
        }
    }

    void FindEmails(int thread, ThreadRecord& record) {
        for (int call = 0; call < CallsPerThread; ++call) {
            const int card = (call + thread) % 5 + 1;  // 5 has no answer
            const std::string email = "holder" + std::to_string(card) + "@example.com";
            TEmailCardRec found = Prefilled<TEmailCardRec>();
            const CallOutcome outcome = CallExport([&] { return Library().findEmail(email.c_str(), &found); });
            record.Expect(!outcome.failed && outcome.result == (card == 5 ? 1 : 0) &&
                              (card == 5 || (found.CardCode == card &&
                                             FieldText(found.Name) == "Holder " + std::to_string(card))),
                          "FindEmail " + email);
            ++record.expectedLines["FindEmail: email=" + email];
        }
    }

    void AskCardInfo(ThreadRecord& record) {
        char input[5] = {'i', '\0', '\r', '\n', 'x'};
        for (int call = 0; call < CallsPerThread; ++call) {
            const int card = call % 5 + 1;  // 5 has no answer
            TCardInfoRec info = Prefilled<TCardInfoRec>();
            const char* outBuf = nullptr;
            std::int32_t outLen = 0;
            std::int16_t outKind = 0;
            const CallOutcome outcome = CallExport([&] {
                return Library().getCardInfoEx(card, 0, CardInfoUnit, &info, input, sizeof input, 0, &outBuf, &outLen,
                                               &outKind);
            });
            const std::string n = std::to_string(card);
            const bool answered = card != 5;
            record.Expect(!outcome.failed && outcome.result == (answered ? 0 : 1), "GetCardInfoEx " + n);
            ++record.expectedLines["GetCardInfoEx: card " + n + ", rest 0, unit 7, InpLen=5, InpKind=0"];
            if (!answered) continue;
            record.Expect(FieldText(info.Holder) == "Holder " + n && outBuf &&
                              std::string(outBuf, static_cast<std::size_t>(outLen)) == "info " + n && outKind == card,
                          "GetCardInfoEx answer " + n);
            ++record.expectedLines["  Output OutKind=" + n + ", OutLen=6"];
            ++record.dumpRecords;
        }
    }

    void PostTransactions(const std::string& amountsLine, ThreadRecord& record) {
        const char input[5] = {'t', 'x', '\0', 'y', 'z'};
        for (int call = 0; call < CallsPerThread; ++call) {
            const int card = call % 4 + 1;
            TTransactionRec first = Transaction(card);
            TTransactionRec unanswered = Transaction(9);
            TTransactionRec* batch[] = {&first, &unanswered};
            const char* outBuf = nullptr;
            std::int32_t outLen = 0;
            std::int16_t outKind = 0;
            const CallOutcome outcome = CallExport([&] {
                return Library().transactionsEx(2, batch, input, sizeof input, 0, &outBuf, &outLen, &outKind);
            });
            const std::string n = std::to_string(card);
            record.Expect(!outcome.failed && outcome.result == (card == 3 ? 1 : 0) && outBuf &&
                              std::string(outBuf, static_cast<std::size_t>(outLen)) == "posted " + n && outKind == 1,
                          "TransactionsEx " + n);
            ++record.expectedLines["TransactionEx: 2 transactions, InpLen=5, InpKind=0"];
            ++record.expectedLines["  Input Buffer data writed to In8.txt"];
            ++record.expectedLines[TransactionLine(card)];
            ++record.expectedLines[TransactionLine(9)];
            record.expectedLines[amountsLine] += 2;
            ++record.dumpRecords;
        }
    }

    // The amounts line of Transaction(): its decimal separator is the machine's.
    std::string AmountsLineOfOneCall() {
        const std::string before = ReadWholeFile(LogName);
        TTransactionRec transaction = Transaction(9);
        TTransactionRec* batch[] = {&transaction};
        const char* outBuf = nullptr;
        std::int32_t outLen = 0;
        std::int16_t outKind = 0;
        const CallOutcome outcome = CallExport(
            [&] { return Library().transactionsEx(1, batch, nullptr, 0, 0, &outBuf, &outLen, &outKind); });
        EXPECT_FALSE(outcome.failed) << outcome.message;
        const std::vector<std::string> lines = LogLinesAfter(before);
        return lines.size() == 3 ? lines[2] : std::string();
    }
};

// A call line's text after its date-time, found by the export's name in it.
std::string CallLineText(const std::string& line) {
    for (const char* name : {" GetCardImageEx: ", " FindEmail: ", " GetCardInfoEx: ", " TransactionEx: "}) {
        const std::size_t at = line.find(name);
        if (at != std::string::npos && line[0] != ' ') return line.substr(at + 1);
    }
    return line;
}

TEST_F(ConcurrentCallsTest, ExportsAndDocumentsFromManyThreads) {
    WriteScenario(Scenario());
    const std::string amountsLine = AmountsLineOfOneCall();
    ASSERT_FALSE(amountsLine.empty());
    const std::string before = ReadWholeFile(LogName);

    std::vector<ThreadRecord> records(8);
    std::vector<std::thread> threads;
    threads.emplace_back([&] { AskImages(0, records[0]); });
    threads.emplace_back([&] { AskImages(1, records[1]); });
    threads.emplace_back([&] { FindEmails(0, records[2]); });
    threads.emplace_back([&] { FindEmails(1, records[3]); });
    threads.emplace_back([&] { AskCardInfo(records[4]); });
    threads.emplace_back([&] { PostTransactions(amountsLine, records[5]); });
    threads.emplace_back([&] { records[6].problems = RunDocumentRoundTrips("documents-a", DocumentRounds); });
    threads.emplace_back([&] { records[7].problems = RunDocumentRoundTrips("documents-b", DocumentRounds); });
    for (std::thread& thread : threads) thread.join();

    std::map<std::string, int> expectedLines;
    for (const ThreadRecord& record : records) {
        for (const std::string& problem : record.problems) ADD_FAILURE() << problem;
        for (const auto& [line, count] : record.expectedLines) expectedLines[line] += count;
    }

    std::map<std::string, int> loggedLines;
    for (const std::string& line : LogLinesAfter(before)) {
        const std::string text = CallLineText(line);
        if (text != line && !IsCallLine(line, text)) ADD_FAILURE() << "broken call line: " << line;
        ++loggedLines[text];
    }
    EXPECT_EQ(loggedLines, expectedLines);

    // Each dump file had one writer; its records follow each other whole.
    const std::pair<const char*, int> dumps[] = {{"In7.txt", records[4].dumpRecords},
                                                 {"In8.txt", records[5].dumpRecords}};
    for (const auto& [name, count] : dumps) {
        std::vector<DumpRecord> dumped;
        ASSERT_TRUE(ReadDump(name, std::vector<size_t>(static_cast<std::size_t>(count), 5), dumped)) << name;
        for (const DumpRecord& dumpRecord : dumped)
            EXPECT_NE(CallLineText(dumpRecord.callLine), dumpRecord.callLine) << name;
    }
}

}  // namespace
