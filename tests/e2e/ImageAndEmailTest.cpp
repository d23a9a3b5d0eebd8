// GetCardImageEx and FindEmail through the built library.
#include <gtest/gtest.h>

#include <filesystem>

#include "base/Variant.h"
#include "support/ScenarioTestSupport.h"
#include "xml/TolvexXml.h"

namespace {

using namespace TolvexTest;

class CardImageTest : public LibraryTest {
protected:
    CallOutcome Ask(int64_t cardCode) {
        return CallExport([&] { return Library().getCardImageEx(cardCode, &image); });
    }
    TCardImageRec image = Prefilled<TCardImageRec>();
};

TEST_F(CardImageTest, CardZeroIsAnsweredWithoutTheScenarioFile) {
    std::filesystem::remove(ScenarioName);
    ASSERT_EQ(Ask(0).result, 0);
    TCardImageRec expected = Prefilled<TCardImageRec>();
    std::memset(expected.FileName, 0, sizeof expected.FileName);
    std::memcpy(expected.FileName, "image0.xml", 10);
    EXPECT_EQ(Bytes(image), Bytes(expected));
}

TEST_F(CardImageTest, ElementWithoutCardCodeNeverAnswers) {
    WriteScenario(R"(<GetCardImageEx FileName="zero.bmp"/>)");
    EXPECT_EQ(Ask(0).result, 0);
    EXPECT_EQ(FieldText(image.FileName), "image0.xml");
    image = Prefilled<TCardImageRec>();
    EXPECT_EQ(Ask(1).result, 1);
    EXPECT_EQ(Bytes(image), Bytes(Prefilled<TCardImageRec>()));
}

TEST_F(CardImageTest, MatchingElementFillsTheFileNameCutTo255) {
    WriteScenario(R"(<GetCardImageL CardCode="2" FileName="a.bmp"/><getcardimageex CardCode="3" FileName=")" +
                  std::string(300, 'f') + R"("/><GetCardImageEx CardCode="4"/>)");
    ASSERT_EQ(Ask(2).result, 0);
    EXPECT_EQ(FieldText(image.FileName), "a.bmp");
    ASSERT_EQ(Ask(3).result, 0);
    EXPECT_EQ(std::string(image.FileName, 256), std::string(255, 'f') + '\0');
    image = Prefilled<TCardImageRec>();
    ASSERT_EQ(Ask(4).result, 0);
    EXPECT_EQ(image.FileName[0], '\0');
    EXPECT_EQ(static_cast<unsigned char>(image.FileName[1]), Untouched);
}

TEST_F(CardImageTest, MissingScenarioFailsForOtherCards) {
    std::filesystem::remove(ScenarioName);
    const CallOutcome outcome = Ask(5);
    ASSERT_TRUE(outcome.failed);
    EXPECT_EQ(outcome.className, "EFOpenError");
}

TEST_F(CardImageTest, NullRecordFails) {
    const CallOutcome outcome = CallExport([&] { return Library().getCardImageEx(0, nullptr); });
    ASSERT_TRUE(outcome.failed);
    EXPECT_EQ(outcome.className, "EArgumentError");
    EXPECT_EQ(outcome.message, "GetCardImageEx: Rec is a null pointer");
}

// A binary scenario whose answer for card 1 holds a FileName without a text form:
// the Null value, which only a binary image can carry.
void WriteScenarioWithUnreadableFileName() {
    const TolvexXml::IXmlDocument document = new TolvexXml::TXmlDocument(nullptr);
    const TolvexXml::IXmlElement answer = document->NewDocument("1.0", "", "Root")->AppendElement("GetCardImageEx");
    answer->SetAttrInt64("CardCode", 1);
    answer->SetAttrValue("FileName", Platform::Variant::Null());
    document->SaveBinaryToFile(ScenarioName, 0);
}

struct UnreadableFileNameCase {
    const char* name;
    bool nullRecord;
    const char* className;
    const char* message;
};

class CardImageUnreadableFileName : public CardImageTest, public ::testing::WithParamInterface<UnreadableFileNameCase> {};

// The record is checked before the answer's FileName is read, so a null record
// names the failure even when the FileName cannot be read either.
TEST_P(CardImageUnreadableFileName, FailsWithTheRecordCheckedFirst) {
    const UnreadableFileNameCase& c = GetParam();
    WriteScenarioWithUnreadableFileName();
    const std::string before = ReadWholeFile(LogName);
    const CallOutcome outcome =
        CallExport([&] { return Library().getCardImageEx(1, c.nullRecord ? nullptr : &image); });
    ASSERT_TRUE(outcome.failed) << "returned " << outcome.result;
    EXPECT_EQ(outcome.className, c.className);
    EXPECT_EQ(outcome.message, c.message);
    EXPECT_EQ(Bytes(image), Bytes(Prefilled<TCardImageRec>()));
    const std::vector<std::string> lines = LogLinesAfter(before);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(IsCallLine(lines[0], "GetCardImageEx: 1"));
}

INSTANTIATE_TEST_SUITE_P(
    Records, CardImageUnreadableFileName,
    ::testing::Values(UnreadableFileNameCase{"RecordGiven", false, "EVariantTypeCastError",
                                             "Could not convert variant of type (Null) into type (String)"},
                      UnreadableFileNameCase{"NullRecordFirst", true, "EArgumentError",
                                             "GetCardImageEx: Rec is a null pointer"}),
    [](const auto& info) { return std::string(info.param.name); });

class FindEmailTest : public LibraryTest {
protected:
    int32_t Find(const char* email) { return Library().findEmail(email, &card); }
    TEmailCardRec card = Prefilled<TEmailCardRec>();
};

struct EmailCase {
    const char* name;
    const char* email;
    int32_t expectedResult;
    const char* expectedName;
};

class EmailMatch : public FindEmailTest, public ::testing::WithParamInterface<EmailCase> {};

TEST_P(EmailMatch, ComparesIgnoringAsciiCaseOnly) {
    WriteScenario("<FindEmail email=\"Anna@Example.com\" CardCode=\"1\" Name=\"Anna\"/>"
                  "<FindEmail email=\"\xC0nna@x.ru\" CardCode=\"2\" Name=\"Cyrillic\"/>"
                  "<FindEmail CardCode=\"3\" Name=\"Nobody\"/>");
    EXPECT_EQ(Find(GetParam().email), GetParam().expectedResult);
    if (GetParam().expectedResult == 0) {
        EXPECT_EQ(FieldText(card.Name), GetParam().expectedName);
    } else {
        EXPECT_EQ(Bytes(card), Bytes(Prefilled<TEmailCardRec>()));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Emails, EmailMatch,
    ::testing::Values(EmailCase{"SameText", "Anna@Example.com", 0, "Anna"},
                      EmailCase{"OtherAsciiCase", "aNNA@EXAMPLE.COM", 0, "Anna"},
                      EmailCase{"TrailingBlank", "Anna@Example.com ", 1, ""},
                      EmailCase{"NonAsciiLetterCase", "\xE0nna@x.ru", 1, ""},
                      EmailCase{"NonAsciiSame", "\xC0nna@x.ru", 0, "Cyrillic"},
                      EmailCase{"EmptyMatchesAbsentAttribute", "", 0, "Nobody"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FindEmailTest, FillsAccountCardCodeAndName) {
    WriteScenario(R"(<FindEmail email="a@b" Account="4294967298" CardCode="$FF" Name=")" + std::string(45, 'n') +
                  R"("/>)");
    ASSERT_EQ(Find("a@b"), 0);
    EXPECT_EQ(+card.Account, 2);
    EXPECT_EQ(+card.CardCode, 255);
    EXPECT_EQ(std::string(card.Name, 41), std::string(40, 'n') + '\0');
}

TEST_F(FindEmailTest, MissingCardCodeReturnsZeroAfterWritingTheAccount) {
    WriteScenario(R"(<FindEmail email="a@b" Account="9" Name="never"/>)");
    ASSERT_EQ(Find("a@b"), 0);
    EXPECT_EQ(+card.Account, 9);
    TEmailCardRec expected = Prefilled<TEmailCardRec>();
    expected.Account = 9;
    EXPECT_EQ(Bytes(card), Bytes(expected));
}

TEST_F(FindEmailTest, EveryFailureReturnsZeroAndChangesNothing) {
    const std::vector<std::string> scenarios = {"",  // no in.xml at all
                                                "<Other/>", "<Root><FindEmail email=\"a@b\" Account=\"x\"/></Root>",
                                                "<Root><unclosed></Root>"};
    for (const std::string& scenario : scenarios) {
        std::filesystem::remove(ScenarioName);
        if (!scenario.empty()) WriteWholeFile(ScenarioName, scenario);
        const std::string before = ReadWholeFile(LogName);
        EXPECT_EQ(Find("a@b"), 0) << scenario;
        EXPECT_EQ(Bytes(card), Bytes(Prefilled<TEmailCardRec>())) << scenario;
        const std::vector<std::string> lines = LogLinesAfter(before);
        ASSERT_EQ(lines.size(), 1u) << scenario;
        EXPECT_TRUE(IsCallLine(lines[0], "FindEmail: email=a@b"));
    }
}

TEST_F(FindEmailTest, NullPointersReturnZero) {
    WriteScenario(R"(<FindEmail email="" CardCode="1"/>)");
    EXPECT_EQ(Library().findEmail(nullptr, &card), 0);
    EXPECT_EQ(Bytes(card), Bytes(Prefilled<TEmailCardRec>()));
    EXPECT_EQ(Library().findEmail("", nullptr), 0);
    EXPECT_EQ(Library().findEmail("nobody", nullptr), 1);
}

}  // namespace
