// GetCardInfoEx through the built library: matching, the record, the output
// text, the dump, the failures.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/ScenarioTestSupport.h"

namespace {

using namespace TolvexTest;

class CardInfoTest : public LibraryTest {
protected:
    CallOutcome Ask(int64_t cardCode, uint16_t inpKind = 0, const std::string& input = "", int32_t unit = 2) {
        return CallExport([&] {
            return Library().getCardInfoEx(cardCode, 1, unit, &info, input.empty() ? nullptr : input.data(),
                                           static_cast<uint32_t>(input.size()), inpKind, &outBuf, &outLen,
                                           &outKind);
        });
    }

    TCardInfoRec info = Prefilled<TCardInfoRec>();
    const char* outBuf = nullptr;
    int32_t outLen = -7;
    int16_t outKind = -7;
};

struct PassCase {
    const char* name;
    uint16_t inpKind;
    const char* expectedHolder;
};

class CardInfoPasses : public CardInfoTest, public ::testing::WithParamInterface<PassCase> {};

TEST_P(CardInfoPasses, KindMatchFirstThenCardCodeAloneInDocumentOrder) {
    WriteScenario(R"(<GetCardInfoL CardCode="7" InpKind="3" Holder="first"/>
                     <GetCardInfoEx CardCode="7" Holder="second"/>
                     <GetCardInfoEx CardCode="7" InpKind="5" Holder="third"/>)");
    const CallOutcome outcome = Ask(7, GetParam().inpKind);
    ASSERT_FALSE(outcome.failed) << outcome.message;
    EXPECT_EQ(outcome.result, 0);
    EXPECT_EQ(FieldText(info.Holder), GetParam().expectedHolder);
}

INSTANTIATE_TEST_SUITE_P(Kinds, CardInfoPasses,
                         ::testing::Values(PassCase{"KindThree", 3, "first"}, PassCase{"KindZero", 0, "second"},
                                           PassCase{"KindFive", 5, "third"},
                                           PassCase{"NoKindMatchTakesFirstByCard", 7, "first"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CardInfoTest, ElementNamesCompareWithoutAsciiCase) {
    WriteScenario(R"(<GetCardInfo CardCode="1" Holder="wrong name"/>
                     <getcardinfoex CardCode="1" Holder="small letters"/>
                     <GETCARDINFOL CardCode="2" Holder="capitals"/>)");
    EXPECT_EQ(Ask(1).result, 0);
    EXPECT_EQ(FieldText(info.Holder), "small letters");
    EXPECT_EQ(Ask(2).result, 0);
    EXPECT_EQ(FieldText(info.Holder), "capitals");
}

TEST_F(CardInfoTest, ElementWithoutCardCodeAnswersCardZero) {
    WriteScenario(R"(<GetCardInfoEx Holder="zero"/>)");
    EXPECT_EQ(Ask(1).result, 1);
    EXPECT_EQ(Ask(0).result, 0);
    EXPECT_EQ(FieldText(info.Holder), "zero");
}

TEST_F(CardInfoTest, AnswerWithoutAttributesClearsEveryFieldAndNothingElse) {
    WriteScenario(R"(<GetCardInfoEx CardCode="5"/>)");
    ASSERT_EQ(Ask(5).result, 0);
    TCardInfoRec expected = Prefilled<TCardInfoRec>();
    expected.Deleted = expected.Seize = expected.Locked = 0;
    expected.WhyLock[0] = expected.Holder[0] = expected.DopInfo[0] = expected.ScrMessage[0] =
        expected.PrnMessage[0] = '\0';
    expected.Account = expected.Unpay = 0;
    expected.Bonus = expected.Discount = 0;
    expected.DiscLimit = expected.Summa = expected.Sum2 = expected.Sum3 = expected.Sum4 = expected.Sum5 =
        expected.Sum6 = expected.Sum7 = expected.Sum8 = 0;
    EXPECT_EQ(Bytes(info), Bytes(expected));
    // No OutputInfo: the out parameters are not written.
    EXPECT_EQ(outBuf, nullptr);
    EXPECT_EQ(outLen, -7);
    EXPECT_EQ(outKind, -7);
}

TEST_F(CardInfoTest, EveryFieldFromItsAttribute) {
    WriteScenario(R"(<GetCardInfoEx CardCode="-9" Account="4294967297" Deleted="True" Discount="65536"
        Bonus="-1" Summa="100" DiscLimit="$10" Holder="H" Sum2="2" Sum3="3" Sum4="4" Sum5="5" Sum6="6"
        Sum7="7" Sum8="-8" Unpay="4294967295" Seize="1" Locked="#TRUE#" WhyLock="W" DopInfo="D"
        ScrMessage="S" PrnMessage="P"/>)");
    ASSERT_EQ(Ask(-9).result, 0);
    EXPECT_EQ(+info.Account, 1);
    EXPECT_EQ(+info.Deleted, 1);
    EXPECT_EQ(+info.Discount, 0);
    EXPECT_EQ(+info.Bonus, -1);
    EXPECT_EQ(+info.Summa, 100);
    EXPECT_EQ(+info.DiscLimit, 16);
    EXPECT_EQ(info.Sum2 + info.Sum3 + info.Sum4 + info.Sum5 + info.Sum6 + info.Sum7, 27);
    EXPECT_EQ(+info.Sum8, -8);
    EXPECT_EQ(+info.Unpay, -1);
    EXPECT_EQ(+info.Seize, 1);
    EXPECT_EQ(+info.Locked, 1);
    EXPECT_EQ(FieldText(info.Holder) + FieldText(info.WhyLock) + FieldText(info.DopInfo) +
                  FieldText(info.ScrMessage) + FieldText(info.PrnMessage),
              "HWDSP");
    EXPECT_EQ(info.HostReserved0[0], Untouched);
    EXPECT_EQ(info.HostReserved4[2], Untouched);
}

TEST_F(CardInfoTest, LongTextsAreCutToTheirFields) {
    WriteScenario(R"(<GetCardInfoEx CardCode="1" Holder=")" + std::string(50, 'h') + R"(" ScrMessage=")" +
                  std::string(300, 's') + R"("/>)");
    ASSERT_EQ(Ask(1).result, 0);
    EXPECT_EQ(std::string(info.Holder, 41), std::string(40, 'h') + '\0');
    EXPECT_EQ(static_cast<unsigned char>(info.Holder[41]), Untouched);
    EXPECT_EQ(std::string(info.ScrMessage, 256), std::string(255, 's') + '\0');
}

TEST_F(CardInfoTest, OutputTextIsHandedOverWithItsOwnLength) {
    WriteScenario(R"(<GetCardInfoEx CardCode="1"><OutputInfo OutKind="65539" OutLen="10">abc</OutputInfo>
                     </GetCardInfoEx>)");
    const std::string before = ReadWholeFile(LogName);
    ASSERT_EQ(Ask(1).result, 0);
    ASSERT_NE(outBuf, nullptr);
    EXPECT_STREQ(outBuf, "abc");
    EXPECT_EQ(outLen, 3);
    EXPECT_EQ(outKind, 3);
    const std::vector<std::string> lines = LogLinesAfter(before);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(IsCallLine(lines[0], "GetCardInfoEx: card 1, rest 1, unit 2, InpLen=0, InpKind=0"));
    EXPECT_EQ(lines[1], "  Output OutKind=65539, OutLen=10");
}

TEST_F(CardInfoTest, OutputTextLivesUntilAnotherCallReplacesIt) {
    WriteScenario(R"(<GetCardInfoEx CardCode="1"><OutputInfo>first text</OutputInfo></GetCardInfoEx>
                     <GetCardInfoEx CardCode="2"/>
                     <GetCardInfoEx CardCode="3"><OutputInfo/></GetCardInfoEx>)");
    ASSERT_EQ(Ask(1).result, 0);
    const char* first = outBuf;
    // A match without OutputInfo and a card not found keep the earlier text.
    ASSERT_EQ(Ask(2).result, 0);
    ASSERT_EQ(Ask(9).result, 1);
    EXPECT_STREQ(first, "first text");
    // An empty OutputInfo hands over an empty text, never a null pointer.
    ASSERT_EQ(Ask(3).result, 0);
    ASSERT_NE(outBuf, nullptr);
    EXPECT_STREQ(outBuf, "");
    EXPECT_EQ(outLen, 0);
}

TEST_F(CardInfoTest, FoundCardDumpsTheInputAfterTheCallLine) {
    WriteScenario(R"(<GetCardInfoEx CardCode="1"/>)");
    const std::string input("a\r\n\0z", 5);
    ASSERT_EQ(Ask(1, 0, input, 2).result, 0);
    ASSERT_EQ(Ask(1, 0, "xy", 2).result, 0);
    std::vector<DumpRecord> records;
    ASSERT_TRUE(ReadDump("In2.txt", {5, 2}, records));
    EXPECT_TRUE(IsCallLine(records[0].callLine, "GetCardInfoEx: card 1, rest 1, unit 2, InpLen=5, InpKind=0"));
    EXPECT_EQ(records[0].input, input);
    EXPECT_EQ(records[1].input, "xy");
}

TEST_F(CardInfoTest, CardNotFoundChangesNothing) {
    WriteScenario(R"(<GetCardInfoEx CardCode="1"><OutputInfo>t</OutputInfo></GetCardInfoEx>)");
    ASSERT_EQ(Ask(2, 0, "input", 4).result, 1);
    EXPECT_EQ(Bytes(info), Bytes(Prefilled<TCardInfoRec>()));
    EXPECT_EQ(outBuf, nullptr);
    EXPECT_FALSE(std::filesystem::exists("In4.txt"));
}

TEST_F(CardInfoTest, FirstLetterOfAttributeNamesIsTolerated) {
    WriteScenario(R"(<GetCardInfoEx cardCode="4" holder="tolerant"/>)");
    ASSERT_EQ(Ask(4).result, 0);
    EXPECT_EQ(FieldText(info.Holder), "tolerant");
}

TEST_F(CardInfoTest, ValueThatFailsHalfWayKeepsTheFieldsBeforeIt) {
    WriteScenario(R"(<GetCardInfoEx CardCode="1" Account="12" Deleted="yes" Discount="3"/>)");
    const CallOutcome outcome = Ask(1, 0, "input");
    ASSERT_TRUE(outcome.failed);
    EXPECT_EQ(outcome.className, "EVariantTypeCastError");
    EXPECT_EQ(outcome.message, "Could not convert variant of type (String) into type (Boolean)");
    EXPECT_EQ(+info.Account, 12);
    EXPECT_EQ(+info.Deleted, Untouched);
    EXPECT_FALSE(std::filesystem::exists("In2.txt"));
}

struct UnreadableOutputCase {
    const char* name;
    const char* outKind;
    const char* outLen;
    const char* message;
};

class CardInfoUnreadableOutput : public CardInfoTest, public ::testing::WithParamInterface<UnreadableOutputCase> {};

// OutKind is read before OutLen, and both before the output line is logged: the
// call fails on the first unreadable one with the whole record written, and
// nothing of the output reaches the host, the log or the dump.
TEST_P(CardInfoUnreadableOutput, FailsOnTheFirstUnreadableAttributeBeforeAnyOutput) {
    const UnreadableOutputCase& c = GetParam();
    WriteScenario(R"(<GetCardInfoEx CardCode="1"><OutputInfo>earlier</OutputInfo></GetCardInfoEx>
                     <GetCardInfoEx CardCode="2" Holder="H" PrnMessage="P"><OutputInfo OutKind=")" +
                  std::string(c.outKind) + R"(" OutLen=")" + c.outLen + R"(">later</OutputInfo></GetCardInfoEx>)");
    ASSERT_EQ(Ask(1).result, 0);
    const char* earlier = outBuf;
    outBuf = nullptr;
    outLen = -7;
    outKind = -7;
    const std::string before = ReadWholeFile(LogName);

    const CallOutcome outcome = Ask(2, 0, "input");
    ASSERT_TRUE(outcome.failed) << "returned " << outcome.result;
    EXPECT_EQ(outcome.className, "TolvexXmlException");
    EXPECT_EQ(outcome.message, c.message);
    EXPECT_EQ(FieldText(info.Holder), "H");
    EXPECT_EQ(FieldText(info.PrnMessage), "P");
    EXPECT_EQ(outBuf, nullptr);
    EXPECT_EQ(outLen, -7);
    EXPECT_EQ(outKind, -7);
    EXPECT_STREQ(earlier, "earlier");
    const std::vector<std::string> lines = LogLinesAfter(before);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(IsCallLine(lines[0], "GetCardInfoEx: card 2, rest 1, unit 2, InpLen=5, InpKind=0"));
    EXPECT_FALSE(std::filesystem::exists("In2.txt"));
}

INSTANTIATE_TEST_SUITE_P(
    Attributes, CardInfoUnreadableOutput,
    ::testing::Values(
        UnreadableOutputCase{"OutKind", "k1", "10", "Bad integer attribute OutKind value: \"k1\""},
        UnreadableOutputCase{"OutLen", "3", "l2", "Bad integer attribute OutLen value: \"l2\""},
        UnreadableOutputCase{"BothOutKindFirst", "k1", "l2", "Bad integer attribute OutKind value: \"k1\""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CardInfoTest, UnreadableCardCodeBeforeTheMatchFailsEveryCall) {
    WriteScenario(R"(<GetCardInfoEx CardCode="12a"/><GetCardInfoEx CardCode="1"/>)");
    const CallOutcome outcome = Ask(1);
    ASSERT_TRUE(outcome.failed);
    EXPECT_EQ(outcome.className, "TolvexXmlException");
    EXPECT_EQ(outcome.message, "Bad integer attribute CardCode value: \"12a\"");
}

TEST_F(CardInfoTest, NullRecordFailsOnlyWhenTheCallMustWriteIt) {
    WriteScenario(R"(<GetCardInfoEx CardCode="1"/>)");
    const std::string before = ReadWholeFile(LogName);
    const CallOutcome notFound = CallExport([&] {
        return Library().getCardInfoEx(2, 0, 0, nullptr, nullptr, 0, 0, nullptr, nullptr, nullptr);
    });
    EXPECT_FALSE(notFound.failed);
    EXPECT_EQ(notFound.result, 1);
    const CallOutcome found = CallExport([&] {
        return Library().getCardInfoEx(1, 0, 0, nullptr, nullptr, 0, 0, nullptr, nullptr, nullptr);
    });
    ASSERT_TRUE(found.failed);
    EXPECT_EQ(found.className, "EArgumentError");
    EXPECT_EQ(found.message, "GetCardInfoEx: Info is a null pointer");
    EXPECT_EQ(LogLinesAfter(before).size(), 2u);
}

struct NullOutCase {
    const char* name;
    bool nullOutBuf, nullOutLen, nullOutKind, nullInput;
    const char* message;
};

class CardInfoNullPointers : public CardInfoTest, public ::testing::WithParamInterface<NullOutCase> {};

TEST_P(CardInfoNullPointers, FailBeforeAnythingIsWritten) {
    WriteScenario(R"(<GetCardInfoEx CardCode="1" Account="5"><OutputInfo>t</OutputInfo></GetCardInfoEx>)");
    const NullOutCase& c = GetParam();
    const CallOutcome outcome = CallExport([&] {
        return Library().getCardInfoEx(1, 0, 3, &info, nullptr, c.nullInput ? 4 : 0, 0,
                                       c.nullOutBuf ? nullptr : &outBuf, c.nullOutLen ? nullptr : &outLen,
                                       c.nullOutKind ? nullptr : &outKind);
    });
    ASSERT_TRUE(outcome.failed);
    EXPECT_EQ(outcome.className, "EArgumentError");
    EXPECT_EQ(outcome.message, c.message);
    EXPECT_EQ(Bytes(info), Bytes(Prefilled<TCardInfoRec>()));
    EXPECT_FALSE(std::filesystem::exists("In3.txt"));
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, CardInfoNullPointers,
    ::testing::Values(NullOutCase{"OutBuf", true, false, false, false, "GetCardInfoEx: OutBuf is a null pointer"},
                      NullOutCase{"OutLen", false, true, false, false, "GetCardInfoEx: OutLen is a null pointer"},
                      NullOutCase{"OutKind", false, false, true, false, "GetCardInfoEx: OutKind is a null pointer"},
                      NullOutCase{"InpBuf", false, false, false, true, "GetCardInfoEx: InpBuf is a null pointer"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
