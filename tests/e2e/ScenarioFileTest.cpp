// The scenario file's own failures, the same for every export that reads it.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/ExampleScenario.h"
#include "support/ScenarioTestSupport.h"

namespace {

using namespace TolvexTest;

class ScenarioFileTest : public LibraryTest {
protected:
    CallOutcome AskCard() {
        return CallExport([&] {
            return Library().getCardInfoEx(1, 0, 0, &info, nullptr, 0, 0, &outBuf, &outLen, &outKind);
        });
    }
    TCardInfoRec info = Prefilled<TCardInfoRec>();
    const char* outBuf = nullptr;
    int32_t outLen = 0;
    int16_t outKind = 0;
};

TEST_F(ScenarioFileTest, MissingFileNamesItsFullPath) {
    std::filesystem::remove(ScenarioName);
    const std::string before = ReadWholeFile(LogName);
    const CallOutcome outcome = AskCard();
    ASSERT_TRUE(outcome.failed);
    EXPECT_EQ(outcome.className, "EFOpenError");
    const std::string fullPath = (std::filesystem::current_path() / ScenarioName).string();
    const std::string prefix = "Cannot open file \"" + fullPath + "\". ";
    EXPECT_EQ(outcome.message.substr(0, prefix.size()), prefix);
    EXPECT_GT(outcome.message.size(), prefix.size()) << "the system's reason is missing";
    EXPECT_EQ(LogLinesAfter(before).size(), 1u);
    EXPECT_EQ(Bytes(info), Bytes(Prefilled<TCardInfoRec>()));
}

TEST_F(ScenarioFileTest, DirectoryInsteadOfTheFileFailsTheSameWay) {
    std::filesystem::remove(ScenarioName);
    std::filesystem::create_directory(ScenarioName);
    const CallOutcome outcome = AskCard();
    ASSERT_TRUE(outcome.failed);
    EXPECT_EQ(outcome.className, "EFOpenError");
}

TEST_F(ScenarioFileTest, MissingRootElement) {
    WriteWholeFile(ScenarioName, "<Answers/>");
    const CallOutcome outcome = AskCard();
    ASSERT_TRUE(outcome.failed);
    EXPECT_EQ(outcome.className, "NeedChildException");
    EXPECT_EQ(outcome.message, "Error: child element \"Root\" not found.");
}

TEST_F(ScenarioFileTest, RootWithOtherFirstLetterCaseIsFound) {
    WriteWholeFile(ScenarioName, "<root><GetCardInfoEx CardCode=\"1\"/></root>");
    const CallOutcome outcome = AskCard();
    ASSERT_FALSE(outcome.failed) << outcome.message;
    EXPECT_EQ(outcome.result, 0);
}

TEST_F(ScenarioFileTest, MalformedXmlFailsWithTheParsersMessage) {
    WriteWholeFile(ScenarioName, "<Root><GetCardInfoEx CardCode=\"1\"></Root>");
    const CallOutcome outcome = AskCard();
    ASSERT_TRUE(outcome.failed);
    EXPECT_EQ(outcome.className, "TolvexXmlException");
    EXPECT_FALSE(outcome.message.empty());
}

TEST_F(ScenarioFileTest, EditedFileTakesEffectAtTheNextCall) {
    WriteScenario(R"(<GetCardInfoEx CardCode="1" Holder="before"/>)");
    ASSERT_EQ(AskCard().result, 0);
    WriteScenario(R"(<GetCardInfoEx CardCode="1" Holder="after"/>)");
    ASSERT_EQ(AskCard().result, 0);
    EXPECT_EQ(FieldText(info.Holder), "after");
}

TEST_F(ScenarioFileTest, BundledExampleAnswersEveryCall) {
    WriteWholeFile(ScenarioName, ExampleScenarioText);
    const CallOutcome card = CallExport([&] {
        return Library().getCardInfoEx(1001, 1, 2, &info, "swipe", 5, 1, &outBuf, &outLen, &outKind);
    });
    ASSERT_FALSE(card.failed) << card.message;
    EXPECT_EQ(card.result, 0);
    EXPECT_EQ(FieldText(info.Holder), "Anna Petrova");
    EXPECT_STREQ(outBuf, "Card 1001 read from the stripe");

    TTransactionRec refund = Prefilled<TTransactionRec>();
    refund.Kind = 2;
    refund.Summa = 60000;
    refund.Unit = 2;
    TTransactionRec* batch[] = {&refund};
    const CallOutcome transactions = CallExport([&] {
        return Library().transactionsEx(1, batch, nullptr, 0, 0, &outBuf, &outLen, &outKind);
    });
    ASSERT_FALSE(transactions.failed) << transactions.message;
    EXPECT_EQ(transactions.result, 1);
    EXPECT_STREQ(outBuf, "Refunds above 500.00 need a manager");

    TCardImageRec image = Prefilled<TCardImageRec>();
    EXPECT_EQ(Library().getCardImageEx(1002, &image), 0);
    EXPECT_EQ(FieldText(image.FileName), "cards\\silver.bmp");

    TEmailCardRec email = Prefilled<TEmailCardRec>();
    EXPECT_EQ(Library().findEmail("IVAN@example.com", &email), 0);
    EXPECT_EQ(+email.CardCode, 1002);
}

}  // namespace
