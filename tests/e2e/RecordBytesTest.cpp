// The host owns every record: a call writes only the fields it fills and leaves
// every other byte, before and after the record too, as the host put it.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "support/LibraryFixture.h"

namespace TolvexTest {
namespace {

constexpr unsigned char HostByte = 0xA5;
constexpr std::size_t GuardBytes = 16;

// A record with guard bytes on both sides, all filled with the host's pattern.
template <class Record>
class GuardedRecord {
public:
    GuardedRecord() : bytes_(sizeof(Record) + 2 * GuardBytes, HostByte) {}
    Record* Get() { return reinterpret_cast<Record*>(bytes_.data() + GuardBytes); }
    // The record's own bytes.
    std::string Content() const {
        return std::string(reinterpret_cast<const char*>(bytes_.data()) + GuardBytes, sizeof(Record));
    }
    bool GuardsKept() const {
        for (std::size_t i = 0; i < GuardBytes; ++i)
            if (bytes_[i] != HostByte || bytes_[bytes_.size() - 1 - i] != HostByte) return false;
        return true;
    }

private:
    std::vector<unsigned char> bytes_;
};

std::string HostPattern(std::size_t count) { return std::string(count, static_cast<char>(HostByte)); }

TEST_F(LibraryTest, CardImageZeroWritesExactlyTheBuiltInBlockAtOffsetTwo) {
    GuardedRecord<TCardImageRec> record;
    const CallOutcome outcome = CallExport([&] { return Library().getCardImageEx(0, record.Get()); });
    ASSERT_FALSE(outcome.failed) << outcome.className << ": " << outcome.message;
    EXPECT_EQ(outcome.result, 0);
    std::string block = "image0.xml";
    block.resize(256, '\0');
    EXPECT_EQ(record.Content(), HostPattern(2) + block);
    EXPECT_TRUE(record.GuardsKept());
}

TEST_F(LibraryTest, CallsThatFindNothingLeaveTheirRecordsUntouched) {
    GuardedRecord<TCardImageRec> image;
    const CallOutcome imageOutcome = CallExport([&] { return Library().getCardImageEx(77, image.Get()); });
    EXPECT_FALSE(imageOutcome.failed) << imageOutcome.className << ": " << imageOutcome.message;
    EXPECT_EQ(imageOutcome.result, 1);
    EXPECT_EQ(image.Content(), HostPattern(sizeof(TCardImageRec)));
    EXPECT_TRUE(image.GuardsKept());

    GuardedRecord<TEmailCardRec> email;
    const CallOutcome emailOutcome =
        CallExport([&] { return Library().findEmail("nobody@example.org", email.Get()); });
    EXPECT_FALSE(emailOutcome.failed);
    EXPECT_EQ(emailOutcome.result, 1);
    EXPECT_EQ(email.Content(), HostPattern(sizeof(TEmailCardRec)));
    EXPECT_TRUE(email.GuardsKept());

    GuardedRecord<TCardInfoRec> info;
    const char* outBuf = nullptr;
    std::int32_t outLen = -1;
    std::int16_t outKind = -1;
    const CallOutcome infoOutcome = CallExport([&] {
        return Library().getCardInfoEx(1234, 1, 2, info.Get(), "", 0, 0, &outBuf, &outLen, &outKind);
    });
    EXPECT_FALSE(infoOutcome.failed) << infoOutcome.className << ": " << infoOutcome.message;
    EXPECT_EQ(infoOutcome.result, 1);
    EXPECT_EQ(info.Content(), HostPattern(sizeof(TCardInfoRec)));
    EXPECT_TRUE(info.GuardsKept());
}

TEST_F(LibraryTest, NoTransactionsHandBackAnEmptyTextOfKindOne) {
    const char* outBuf = nullptr;
    std::int32_t outLen = -1;
    std::int16_t outKind = -1;
    const CallOutcome outcome = CallExport(
        [&] { return Library().transactionsEx(0, nullptr, "", 0, 0, &outBuf, &outLen, &outKind); });
    ASSERT_FALSE(outcome.failed) << outcome.className << ": " << outcome.message;
    EXPECT_EQ(outcome.result, 0);
    ASSERT_NE(outBuf, nullptr);
    EXPECT_STREQ(outBuf, "");
    EXPECT_EQ(outLen, 0);
    EXPECT_EQ(outKind, 1);
}

}  // namespace
}  // namespace TolvexTest
