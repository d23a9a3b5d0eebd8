// A schema reference on Root, as an editor wants it, changes no answer: the
// library reads no attribute of Root.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/ExampleScenario.h"
#include "support/ScenarioTestSupport.h"

namespace {

using namespace TolvexTest;

// One call's answer: its result or failure, the bytes of its record, its output text.
struct Answer {
    std::string call;
    std::string outcome;
    std::string record;
    std::string output;
};

class SchemaLocationTest : public LibraryTest {
protected:
    // Every call on the example scenario, for cards and addresses found and not found.
    std::vector<Answer> AnswerEveryCall() {
        std::vector<Answer> answers;
        for (const std::int64_t card : {1001, 1002, 1003, 9999}) {
            TCardInfoRec info = Prefilled<TCardInfoRec>();
            const CallOutcome outcome = CallExport([&] {
                return Library().getCardInfoEx(card, 1, 2, &info, "swipe", 5, 1, &outBuf, &outLen, &outKind);
            });
            answers.push_back(Noted("GetCardInfoEx " + std::to_string(card), outcome, Bytes(info)));
        }
        TTransactionRec refund = Transaction(1001, 2, 60000);
        TTransactionRec sale = Transaction(1001, 1, 12345);
        TTransactionRec* batch[] = {&refund, &sale};
        const CallOutcome outcome =
            CallExport([&] { return Library().transactionsEx(2, batch, "in", 2, 0, &outBuf, &outLen, &outKind); });
        answers.push_back(Noted("TransactionsEx", outcome, Bytes(refund) + Bytes(sale)));
        for (const std::int64_t card : {1001, 1002, 9999}) {
            TCardImageRec image = Prefilled<TCardImageRec>();
            const CallOutcome outcome = CallExport([&] { return Library().getCardImageEx(card, &image); });
            answers.push_back(Noted("GetCardImageEx " + std::to_string(card), outcome, Bytes(image)));
        }
        for (const char* address : {"anna.petrova@example.com", "IVAN@example.com", "nobody@example.com"}) {
            TEmailCardRec email = Prefilled<TEmailCardRec>();
            const CallOutcome outcome = CallExport([&] { return Library().findEmail(address, &email); });
            answers.push_back(Noted(std::string("FindEmail ") + address, outcome, Bytes(email)));
        }
        return answers;
    }

private:
    // The answer after the call; the output text is taken while it is valid.
    Answer Noted(const std::string& call, const CallOutcome& outcome, const std::string& record) {
        const std::string result =
            outcome.failed ? outcome.className + ": " + outcome.message : std::to_string(outcome.result);
        Answer answer{call, result, record, outBuf ? outBuf : "(none)"};
        outBuf = nullptr;
        return answer;
    }

    const char* outBuf = nullptr;
    int32_t outLen = 0;
    int16_t outKind = 0;
};

TEST_F(SchemaLocationTest, SchemaReferenceOnRootChangesNoAnswer) {
    const std::string plain = ExampleScenarioText;
    WriteWholeFile(ScenarioName, plain);
    const std::vector<Answer> expected = AnswerEveryCall();

    std::string referenced = plain;
    const std::size_t root = referenced.find("<Root>");
    ASSERT_NE(root, std::string::npos);
    referenced.replace(root, 6,
                       "<Root xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"\n"
                       "      xsi:noNamespaceSchemaLocation=\"scenario.xsd\">");
    WriteWholeFile(ScenarioName, referenced);
    const std::vector<Answer> answers = AnswerEveryCall();

    ASSERT_EQ(answers.size(), expected.size());
    for (std::size_t i = 0; i < answers.size(); ++i) {
        SCOPED_TRACE(expected[i].call);
        EXPECT_EQ(answers[i].outcome, expected[i].outcome);
        EXPECT_TRUE(answers[i].record == expected[i].record) << "the record differs";
        EXPECT_EQ(answers[i].output, expected[i].output);
    }
}

}  // namespace
