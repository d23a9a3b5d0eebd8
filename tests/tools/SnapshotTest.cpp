// snapshot: the draft's form for each kind of call, and a draft made from a
// session's log that, used as in.xml, answers every call of the session.
#include <gtest/gtest.h>

#include <vector>

#include "support/ScenarioTestSupport.h"
#include "tools/Snapshot.h"
#include "xml/TolvexXmlUnit.h"

namespace {

using namespace TolvexTest;
using namespace TolvexHost;

// The XML unit, initialised as tolvex-host does before its commands.
struct XmlUnit {
    XmlUnit() { TolvexXml::InitializeUnit(); }
    ~XmlUnit() { TolvexXml::FinalizeUnit(); }
};

TEST(Snapshot, DraftsOneAnswerPerDistinctCall) {
    const ScratchDirectory directory;
    const XmlUnit xmlUnit;
    WriteWholeFile(LogName,
                   "\r\n"
                   "1.1.26 GetCardInfoEx: card 1001, rest 1, unit 2, InpLen=0, InpKind=1\r\n"
                   "1.1.26 GetCardInfoEx: card 1001, rest 1, unit 2, InpLen=0, InpKind=1\r\n"
                   "  Output OutKind=2, OutLen=0\r\n"
                   "1.1.26 GetCardInfoEx: card 1001, rest 1, unit 2, InpLen=0, InpKind=0\r\n"
                   "1.1.26 TransactionEx: 3 transactions, InpLen=0, InpKind=0\r\n"
                   "  card 5 account -1 rest 1 unit 2 check 10 date 08.12.2026\r\n"
                   "    kind 1 sum       1,00 Vat1(      0,00%)       0,00 Vat2(      0,00%)       0,00 Vat3(      "
                   "0,00%)       0,00\r\n"
                   "  card 5 account -1 rest 1 unit 3 check 11 date 08.12.2026\r\n"
                   "    kind 1 sum       1,00 Vat1(      0,00%)       0,00 Vat2(      0,00%)       0,00 Vat3(      "
                   "0,00%)       0,00\r\n"
                   "  card 5 account -1 rest 1 unit 2 check 12 date 08.12.2026\r\n"
                   "    kind 1 sum      -1,00 Vat1(      0,00%)       0,00 Vat2(      0,00%)       0,00 Vat3(      "
                   "0,00%)       0,00\r\n"
                   "1.1.26 GetCardImageEx: 0\r\n"
                   "1.1.26 GetCardImageEx: 7\r\n"
                   "1.1.26 GetCardImage: 8\r\n"
                   "1.1.26 FindEmail: email=a--b@x\r\n"
                   "1.1.26 FindEmail: email=A--B@X\r\n");
    const SnapshotDraft draft = SnapshotScenario(LogName);
    EXPECT_EQ(draft.xml,
              "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n"
              "<Root><!--\r\n"
              "\ttolvex.log:2: 1.1.26 GetCardInfoEx: card 1001, rest 1, unit 2, InpLen=0, InpKind=1 -->\r\n"
              "\t<GetCardInfoEx CardCode=\"1001\" InpKind=\"1\" Holder=\"\" Account=\"0\" Discount=\"0\" Bonus=\"0\" "
              "Summa=\"0\">\r\n"
              "\t\t<OutputInfo OutKind=\"2\" OutLen=\"0\"/>\r\n"
              "\t</GetCardInfoEx><!--\r\n"
              "\ttolvex.log:5: 1.1.26 GetCardInfoEx: card 1001, rest 1, unit 2, InpLen=0, InpKind=0 -->\r\n"
              "\t<GetCardInfoEx CardCode=\"1001\" InpKind=\"0\" Holder=\"\" Account=\"0\" Discount=\"0\" Bonus=\"0\" "
              "Summa=\"0\"/><!--\r\n"
              "\ttolvex.log:7:   card 5 account -1 rest 1 unit 2 check 10 date 08.12.2026\r\n"
              "\ttolvex.log:8:     kind 1 sum       1,00 Vat1(      0,00%)       0,00 Vat2(      0,00%)       0,00 "
              "Vat3(      0,00%)       0,00 -->\r\n"
              "\t<TransactionsEx CardCode=\"5\" Account=\"4294967295\" Kind=\"1\" MinSumma=\"100\" MaxSumma=\"100\" "
              "Result=\"0\"/><!--\r\n"
              "\ttolvex.log:11:   card 5 account -1 rest 1 unit 2 check 12 date 08.12.2026\r\n"
              "\ttolvex.log:12:     kind 1 sum      -1,00 Vat1(      0,00%)       0,00 Vat2(      0,00%)       0,00 "
              "Vat3(      0,00%)       0,00 -->\r\n"
              "\t<TransactionsEx CardCode=\"5\" Account=\"4294967295\" Kind=\"1\" MinSumma=\"-100\" "
              "MaxSumma=\"-100\" Result=\"0\"/><!--\r\n"
              "\ttolvex.log:14: 1.1.26 GetCardImageEx: 7 -->\r\n"
              "\t<GetCardImageEx CardCode=\"7\" FileName=\"\"/><!--\r\n"
              "\ttolvex.log:16: 1.1.26 FindEmail: email=a- -b@x -->\r\n"
              "\t<FindEmail email=\"a--b@x\" Account=\"0\" CardCode=\"0\" Name=\"\"/>\r\n"
              "</Root>\r\n");
    ASSERT_EQ(draft.errors.size(), 1u);
    EXPECT_EQ(draft.errors[0].line, 15u);
}

// The calls of a session; the scenario it starts with answers the first card.
const std::pair<std::int64_t, std::uint16_t> CardCalls[] = {{1001, 7}, {1001, 7}, {1001, 0}, {-9, 65535}, {0, 0}};
const std::int64_t ImageCalls[] = {0, 12, -1, 12};
const char* const EmailCalls[] = {"anna@example.com", "ANNA@example.com", "a--b&c\"<d>\t@x", "\xC0\xE1@x", ""};
// The third has the first one's answer: only its unit differs.
std::vector<TTransactionRec> TransactionCalls() {
    return {Transaction(5, 1, 100, 2, 4294967295u), Transaction(5, 1, -20, 2, 4294967295u),
            Transaction(5, 1, 100, 3, 4294967295u), Transaction(-7, 255, 0, 2, 0)};
}

class SnapshotOfASession : public LibraryTest {
protected:
    CallOutcome AskCard(std::int64_t card, std::uint16_t inpKind) {
        return CallExport([&] {
            return Library().getCardInfoEx(card, 1, 2, &buffers_.cardInfo, buffers_.input, sizeof buffers_.input,
                                           inpKind, &buffers_.outBuf, &buffers_.outLen, &buffers_.outKind);
        });
    }

    CallOutcome Post(std::vector<TTransactionRec> transactions) {
        std::vector<TTransactionRec*> pointers;
        for (TTransactionRec& transaction : transactions) pointers.push_back(&transaction);
        return CallExport([&] {
            return Library().transactionsEx(static_cast<std::int32_t>(pointers.size()), pointers.data(),
                                            buffers_.input, sizeof buffers_.input, 0, &buffers_.outBuf,
                                            &buffers_.outLen, &buffers_.outKind);
        });
    }

    CallOutcome AskImage(std::int64_t card) {
        return CallExport([&] { return Library().getCardImageEx(card, &buffers_.cardImage); });
    }

    // FindEmail returns 0 for a failure too; a card found writes its CardCode.
    CallOutcome FindCard(const char* email, TEmailCardRec& found) {
        return CallExport([&] { return Library().findEmail(email, &found); });
    }

    const XmlUnit xmlUnit_;
    HostBuffers buffers_;
};

TEST_F(SnapshotOfASession, DraftAnswersEveryCallOfTheLog) {
    WriteScenario(
        R"(<GetCardInfoEx CardCode="1001" InpKind="7"><OutputInfo OutKind="2">hello</OutputInfo></GetCardInfoEx>)");
    for (const auto& [card, inpKind] : CardCalls) AskCard(card, inpKind);
    Post(TransactionCalls());
    Post({});
    for (const std::int64_t card : ImageCalls) AskImage(card);
    for (const char* email : EmailCalls) {
        TEmailCardRec found{};
        FindCard(email, found);
    }

    const SnapshotDraft draft = SnapshotScenario(LogName);
    ASSERT_TRUE(draft.errors.empty()) << draft.errors[0].Text();
    // A tester's edit: every transaction's answer refuses, so that each result shows its match.
    const std::string neutral = "Result=\"0\"";
    std::string scenario = draft.xml;
    for (std::size_t at = scenario.find(neutral); at != std::string::npos; at = scenario.find(neutral, at))
        scenario[at + neutral.size() - 2] = '1';
    WriteWholeFile(ScenarioName, scenario);

    for (const auto& [card, inpKind] : CardCalls) {
        const CallOutcome outcome = AskCard(card, inpKind);
        EXPECT_EQ(outcome.result, 0) << "card " << card << ", input kind " << inpKind << ": " << outcome.message;
    }
    for (const TTransactionRec& transaction : TransactionCalls()) {
        const CallOutcome outcome = Post({transaction});
        EXPECT_EQ(outcome.result, 1) << "card " << transaction.CardCode << ": " << outcome.message;
    }
    for (const std::int64_t card : ImageCalls) {
        const CallOutcome outcome = AskImage(card);
        EXPECT_EQ(outcome.result, 0) << "image of card " << card << ": " << outcome.message;
    }
    for (const char* email : EmailCalls) {
        TEmailCardRec found = Prefilled<TEmailCardRec>();
        EXPECT_EQ(FindCard(email, found).result, 0);
        EXPECT_EQ(std::int64_t{found.CardCode}, 0) << "e-mail \"" << email << "\"";
    }
}

}  // namespace
